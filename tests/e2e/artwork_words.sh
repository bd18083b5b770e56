# The words in the artwork, read back from screenshots of the real windows:
# each settings page's title, the health page's tabs, the list pages'
# buttons, and the product's name in Corvalle's first-run chooser.
. "$E2E_REPO_ROOT/tests/settings/settings_lib.sh"
private_prefix "$@"
install_mirelo
DESKTOP_WIN="$(probe folder desktop)"
no_shortcut() {
  probe exists "$DESKTOP_WIN\\ZubVynmar.lnk" >/dev/null && "$E2E_WINE" --timeout 30 cmd /c del "$DESKTOP_WIN\\ZubVynmar.lnk" >/dev/null 2>&1
  return 0
}
finish() {
  end_corvalle
  no_shortcut
  cleanup_mirelo
}
trap finish EXIT

SHOTS="$E2E_WORK_DIR/shots"
mkdir -p "$SHOTS"
n=0

# Top-left of the first visible window of CLASS (that also matches the
# extended-style bits MASK, when given).
origin_of() {
  local line i
  for i in $(seq 1 100); do
    line="$(probe find "$1" 1000)"
    case "$line" in *visible=1*)
      if [ -z "${2:-}" ] || (( (0x$(echo "$line" | sed -n 's/.*exstyle=\([0-9a-f]*\).*/\1/p') & $2) == $2 )); then
        echo "$line" | sed -n 's/.*rect=\([-0-9]*\),\([-0-9]*\),.*/\1 \2/p'
        return 0
      fi ;;
    esac
    sleep 0.2
  done
  return 1
}

# reads WHAT X Y BOX_X0 BOX_Y0 BOX_X1 BOX_Y1 SIZES EXPECTED RIVAL...: true once
# a screenshot shows EXPECTED in the box (window coordinates, window at X, Y)
# better than every rival. The window may still be painting, or another
# test's window may pass over it: look again for a while.
reads() {
  local what="$1" x="$2" y="$3" bx0="$4" by0="$5" bx1="$6" by1="$7" sizes="$8" expect="$9" shot i
  shift 9
  for i in $(seq 1 20); do
    n=$((n + 1))
    shot="$SHOTS/$n.png"
    import -window root "$shot" 2>/dev/null || { sleep 0.5; continue; }
    # shellcheck disable=SC2086
    if "${ART_PYTHON:-/usr/bin/python3}" "$E2E_REPO_ROOT/tests/e2e/read_words.py" "$shot" \
        --box $((x + bx0)) $((y + by0)) $((x + bx1)) $((y + by1)) --band-x $((x + 4)) \
        --sizes $sizes --expect "$expect" --other "$@" >"$SHOTS/$n.txt"; then
      cp "$shot" "$E2E_BUILD_DIR/artwork_words_$what.png"
      echo "  $what: $(cat "$SHOTS/$n.txt")"
      return 0
    fi
    sleep 0.5
  done
  echo "  $what, last reading: $(cat "$SHOTS/$n.txt" 2>/dev/null)"
  return 1
}

TITLES=(设置 定时提醒 定时关机 健康护士)
rivals() { local w; for w in "${TITLES[@]}"; do [ "$w" != "$1" ] && echo "$w"; done; }

start_standin
page() {  # opens the page of the command-line argument; sets X, Y
  start_mirelo "$1" "$1"
  window_shown TFormCorvalleOption || fail "$1: no settings window"
  read -r X Y < <(origin_of TFormCorvalleOption) || fail "$1: no place"
}
end_page() {
  probe post TFormCorvalleOption 0x1605 >/dev/null
  test "$(mirelo_rc "$1" 10)" = 0 || fail "$1: the window did not close"
}

page general
# shellcheck disable=SC2046
check "general: the title reads 设置" reads general "$X" "$Y" 4 5 160 62 "16 17 18" 设置 $(rivals 设置)
end_page general

page timealert
# shellcheck disable=SC2046
check "timealert: the title reads 定时提醒" reads timealert "$X" "$Y" 4 5 160 62 "16 17 18" 定时提醒 $(rivals 定时提醒)
check "timealert: the add button reads 添加" reads add "$X" "$Y" 170 30 312 62 "12 13" 添加 返回 删除
check "timealert: the manage button reads 管理" reads manage "$X" "$Y" 170 30 312 62 "12 13" 管理 返回 删除
sprobe click TFormCorvalleOption 279 47
check "timealert editor: the return button reads 返回" reads return "$X" "$Y" 170 30 312 62 "12 13" 返回 添加 管理
end_page timealert

page timeshutdown
# shellcheck disable=SC2046
check "timeshutdown: the title reads 定时关机" reads timeshutdown "$X" "$Y" 4 5 160 62 "16 17 18" 定时关机 $(rivals 定时关机)
end_page timeshutdown

page eye
# shellcheck disable=SC2046
check "eye: the title reads 健康护士" reads eye "$X" "$Y" 460 5 580 62 "16 17 18" 健康护士 $(rivals 健康护士)
# Each tab is read while it is the selected one.
check "eye: the eye tab reads 眼保健操" reads eyetab "$X" "$Y" 10 14 145 61 "12 13" 眼保健操 颈椎保健操 健康护士
sprobe click TFormCorvalleOption 222 37
check "eye: the neck tab reads 颈椎保健操" reads necktab "$X" "$Y" 155 14 290 61 "12 13" 颈椎保健操 眼保健操 健康护士
end_page eye
stop_standins

# The first run without a desktop shortcut asks what to set up; its title
# band names the product (the chooser is a topmost tool window, 0x88).
# Corvalle goes into the same install folder, with the recording stand-in
# as its settings program.
INSTALL_DIR="$MIRELO_DIR"
cp "$E2E_BIN_DIR/Corvalle.exe" "$E2E_BIN_DIR/halvet.ui" "$INSTALL_DIR/"
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$INSTALL_DIR/Mirelo.exe"
rm -f "$CONFIG"
probe ini "$CONFIG_WIN" vyn compatible true
no_shortcut
start_corvalle
read -r X Y < <(origin_of '#32770' 0x88) || fail "no first-run chooser"
check "chooser: the title band reads ZubVynmar" reads chooser "$X" "$Y" 22 2 128 32 "14 15 16" ZubVynmar ZubPellorvan 设置
end_corvalle
echo "artwork words: all checks passed"
