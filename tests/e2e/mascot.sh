# The mascot for real: where it stands, hiding into the tray and coming back,
# the first-run tip, and a broken skin package ending the program.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
APPDATA_WIN="$(probe folder appdata)"
CONFIG_WIN="$APPDATA_WIN\\tarvisk\\Corvalle.ini"
CONFIG="$("$E2E_WINE" --timeout 60 winepath -u "$CONFIG_WIN" 2>/dev/null | tr -d '\r')"
DESKTOP_WIN="$(probe folder desktop)"
restore() {
  cleanup_install
  rm -f "$CONFIG"
  probe exists "$DESKTOP_WIN\\ZubVynmar.lnk" >/dev/null && "$E2E_WINE" --timeout 30 cmd /c del "$DESKTOP_WIN\\ZubVynmar.lnk" >/dev/null 2>&1
}
trap restore EXIT
mkdir -p "$(dirname "$CONFIG")"

fresh_config() {  # the settings of a user who has run the mascot before
  rm -f "$CONFIG"
  probe ini "$CONFIG_WIN" vyn firstruntip false
  probe ini "$CONFIG_WIN" vyn compatible true
}
# The window exists before it is placed: read its place once it shows.
rect_of() {
  local line i
  for i in $(seq 1 60); do
    line="$(probe find Corvalle 1000)"
    case "$line" in *visible=1*) break ;; esac
    sleep 0.5
  done
  echo "$line" | sed -n 's/.*rect=\([-0-9]*\),\([-0-9]*\),.*/\1 \2/p'
}
visible() { probe find "$1" 2000 | grep -q 'visible=1'; }

# Xvfb has no taskbar: the work area is the whole screen.
read -r SCREEN_W SCREEN_H < <(echo "${XVFB_SCREEN:-1280x1024x24}" | tr 'x' ' ' | cut -d' ' -f1,2)

fresh_config
start_corvalle
check "the mascot stands in the bottom right corner" test "$(rect_of)" = "$((SCREEN_W - 178)) $((SCREEN_H - 142))"
check "it is visible" visible Corvalle
probe post Corvalle 0x111 502 0
sleep 1
check "hiding takes it off the screen" test -n "$(visible Corvalle || echo hidden)"
probe post Corvalle 8888 0 0x202
sleep 1
check "a click on the tray icon brings it back" visible Corvalle
end_corvalle

fresh_config
probe ini "$CONFIG_WIN" vynpos x 300
probe ini "$CONFIG_WIN" vynpos y 200
start_corvalle
check "a saved position is used" test "$(rect_of)" = "300 200"
end_corvalle

fresh_config
probe ini "$CONFIG_WIN" vynpos x 5000
probe ini "$CONFIG_WIN" vynpos y 200
start_corvalle
check "a saved position off the screen is replaced" test "$(rect_of)" = "$((SCREEN_W - 178)) $((SCREEN_H - 142))"
end_corvalle

# First run with the desktop shortcut already there: no chooser, but the tip.
rm -f "$CONFIG"
probe ini "$CONFIG_WIN" vyn compatible true
probe touch "$DESKTOP_WIN\\ZubVynmar.lnk"
start_corvalle
check "the first-run tip points at the mascot" probe find CorvalleFirstTipWnd 30000 >/dev/null
check "the first run is written down" grep -qa "firstruntip=false" "$CONFIG"
end_corvalle

# A broken package: two message boxes, then the program ends by itself.
fresh_config
echo "not a zip archive" >"$INSTALL_DIR/halvet.ui"
"$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/msgbox_watcher.exe" "$E2E_WORK_DIR/boxes.log" 20000 >/dev/null 2>&1 &
WATCHER=$!
CORVALLE_TIMEOUT=40 corvalle >/dev/null 2>&1
rc=$?
wait "$WATCHER"
check "a broken package ends the program (exit $rc)" test "$rc" -eq 0
check "it said the package failed to unpack" grep -q "vyntest|UnzipToDir failed" "$E2E_WORK_DIR/boxes.log"
check "and that the file is damaged" grep -q "ZubVynmar|文件损坏，请重新下载！" "$E2E_WORK_DIR/boxes.log"
check "no mascot window is left" test "$(probe count Corvalle)" = 0
echo "mascot: all checks passed"
