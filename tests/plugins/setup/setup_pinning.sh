# Pinning touches machine state (HKLM, the all-users Start menu, Quick
# Launch): its checks run in a throwaway prefix of this script's own. The
# checks themselves are the PinToStartMenu group of lumvex_setup_tests,
# run here instead of in the shared prefix; afterwards nothing of theirs
# may be left in the prefix.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"

private_prefix "$@"

windows_path() { "$E2E_WINE" --timeout 60 winepath -w "$1" 2>/dev/null | tr -d '\r'; }
RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR"
export TEST_BIN_DIR="$(windows_path "$E2E_BIN_DIR")"
export TEST_WORK_DIR="$(windows_path "$RUN_DIR")"
[ -n "$TEST_BIN_DIR" ] && [ -n "$TEST_WORK_DIR" ] || fail "no Windows paths for the test folders"

cd "$RUN_DIR"
check "pinning: every check of the group passes in the throwaway prefix" \
  "$E2E_WINE" --timeout 180 "$E2E_TEST_BIN_DIR/lumvex_setup_tests.exe" '--gtest_filter=PinToStartMenu.*'

check "pinning: no pin record is left behind" \
  bash -c '! "$0" --timeout 60 reg query "HKLM\SOFTWARE\Zubpellor\pellors" >/dev/null 2>&1' "$E2E_WINE"

# The same machine state seen from outside, as a host program leaves it:
# bexhost calls Lumvex's classes 90 and 91 through the stand-in kernel.
HOST_DIR="$HARNESS_WINEPREFIX/drive_c/pinhost"
MANAGER="$HARNESS_WINEPREFIX/drive_c/pinmgr"
mkdir -p "$HOST_DIR" "$MANAGER"
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_BIN_DIR/Lumvex.dll" "$HOST_DIR/"
printf '[environment]\r\nmanagerFolder=C:\\pinmgr\\\r\n[system]\r\ncode=10\r\n[options]\r\nOptions\\ShowControlPanelShortcut=0\r\n' \
  >"$HOST_DIR/kernel.ini"
export BEXTEST_CONFIG='C:\pinhost\kernel.ini'
host() { "$E2E_WINE" --timeout 60 "$HOST_DIR/bexhost.exe" setup "$@" | tr -d '\r'; }
LINK_NAME='强力卸载电脑上的软件.lnk'
start_menu_link() { find "$HARNESS_WINEPREFIX/drive_c" -path '*Start Menu/Programs/*' -name "$LINK_NAME" | grep -q .; }
no_start_menu_link() { ! start_menu_link; }
PINS='HKLM\SOFTWARE\Zubpellor\pellors'

check "host: Pin gives 1" grep -qx 'result 1' <<<"$(host pin 3)"
check "host: AlReadyPin is 1" test "$(reg_value "$PINS" AlReadyPin)" = "0x1"
# reg prints in the prefix's code page: match bytes, not characters.
check "host: PinLink names the manager folder's link" env LC_ALL=C grep -q '^C:\\pinmgr\\.*\.lnk$' <<<"$(reg_value "$PINS" PinLink)"
check "host: the manager folder's link is there" test -e "$MANAGER/$LINK_NAME"
check "host: the all-users Start menu's link is there" start_menu_link
check "host: Unpin gives 1" grep -qx 'result 1' <<<"$(host pin 4)"
check "host: AlReadyPin is 0" test "$(reg_value "$PINS" AlReadyPin)" = "0x0"
check "host: the Start menu's link is gone" no_start_menu_link
check "host: the manager folder's link stays" test -e "$MANAGER/$LINK_NAME"

DONT_LOAD="HKCU\\Control Panel\\don't load"
check "host: AfterInstall gives 1" grep -qx 'result 1' <<<"$(host job 5)"
check "host: installtime is written" reg_has 'HKLM\SOFTWARE\Tarvisk\pellor' installtime
check "host: the applet is hidden" test "$(reg_value "$DONT_LOAD" ZubPellor.cpl)" = "NO"
check "host: Uninstall gives 1" grep -qx 'result 1' <<<"$(host job 9)"
no_applet() { ! reg_has "$DONT_LOAD" ZubPellor.cpl; }
check "host: the applet value is gone" no_applet
