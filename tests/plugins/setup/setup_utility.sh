# The setup utility's after-install job and the options daemon as a host
# reaches them, in a throwaway prefix of this script's own: the App Paths
# folder C:\Sec\, the manager in C:\Sec\Pellor\, the host program in
# C:\Host\. Registrations are seen in the shared ordered log, options and
# requests in the stand-in kernel's store and log.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"

private_prefix "$@"

SERVER=
finish() {
  [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
  wait 2>/dev/null
}
trap finish EXIT

C="$HARNESS_WINEPREFIX/drive_c"
mkdir -p "$C/Sec/Pellor" "$C/Host"
for name in PellorExt.dll PellorWebProxy.dll ZubPellorS.dll; do
  cp "$E2E_TEST_BIN_DIR/registration_double.dll" "$C/Sec/Pellor/$name"
done
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_BIN_DIR/Lumvex.dll" "$C/Host/"
"$E2E_WINE" --timeout 60 reg add "$APP_PATHS_KEY" /v Path /t REG_SZ /d 'C:\Sec\' /f >/dev/null 2>&1 ||
  fail "App Paths not written"
"$E2E_WINE" --timeout 60 reg add 'HKCR\lnkfile\shell\强力卸载此软件\command' /ve /d x /f >/dev/null 2>&1

ini="$E2E_WORK_DIR/kernel.ini"
klog="$E2E_WORK_DIR/kernel.log"
order="$E2E_WORK_DIR/order.log"
export BEXTEST_LOG="$(windows_path "$klog")"
export BEXTEST_CONFIG="$(windows_path "$ini")"
export OUTSIDE_ORDER_LOG="$(windows_path "$order")"
# The statistics requests reach the local test server as well.
printf '/stat/* 200 plain -\n' >"$E2E_WORK_DIR/routes.txt"
SERVER_LOG="$E2E_WORK_DIR/server.log"
start_fixture_server fixture http_fixture_server.py --lifetime 250 --routes "$E2E_WORK_DIR/routes.txt" \
  --fixture-dir "$E2E_WORK_DIR" --log "$SERVER_LOG"
export CORVALLE_SERVICE_BASE="http://127.0.0.1:$PORT"
export BEXTEST_HTTP=1
# Pinning (class 90) is left out here: it lists the shell's verbs of a link,
# and Wine's Shell object faults on that for some prefixes. Pinning has
# checks of its own (setup_pinning.sh); without it, the Start-menu option
# is not written.
world() { printf '[environment]\r\nmanagerFolder=C:\\Sec\\Pellor\\\r\n[downloads]\r\nfolder=C:\\Dl\\\r\n[classes]\r\n90=refuse\r\n%s' "$1" >"$ini"; rm -f "$klog" "$order"; }
host() { "$E2E_WINE" --timeout 60 'C:\Host\bexhost.exe' "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# A text value (the default value without NAME); names may hold blanks, and
# the default value's is shown in the prefix's language.
reg_text() {
  if [ $# -gt 1 ]; then set -- "$1" /v "$2"; else set -- "$1" /ve; fi
  "$E2E_WINE" --timeout 60 reg query "$@" 2>/dev/null | tr -d '\r' | LC_ALL=C sed -n 's/^ .*REG_SZ    //p'
}
option() { tr -d '\r' <"$ini" | awk -F= -v k="$1" '$1 == k { print substr($0, length(k) + 2) }'; }

# After install, fresh options.
world ""
out="$(host setup after-install)"; rc=$?
echo "$out"
check "after install: 0, balanced" test "$rc" = 0 -a "$out" = "after-install 0"
check "after install: options" test "$(option 'Options\ShowRecycle')|$(option 'Options\ShowLnkFileRightMenuItem')|$(option 'Options\DefaultDownloadFolder')|$(option 'Options\ShowStartMenuShortcut')" = '0|1|C:\Dl\|'
check "after install: registrations in order" test "$(tr '\n' '|' <"$order")" = \
  "ZubPellorS.dll register|PellorExt.dll register|PellorWebProxy.dll register|"
check "after install: the protocol's command" test "$(reg_text 'HKCR\pellorandzub\shell\open\command')" = \
  '"C:\Host\PellorandProxy.exe" "%1"'
check "after install: URL Protocol" test "$(reg_text 'HKCR\pellorandzub' 'URL Protocol')" = 'C:\Host\PellorandProxy.exe'
check "after install: the old verb is gone" bash -c '! "$0" --timeout 60 reg query "HKCR\lnkfile\shell\强力卸载此软件" >/dev/null 2>&1' "$E2E_WINE"
check "after install: the game centre is enabled" grep -q 'GameCenter=1' "$C/Sec/Pellor/LiveInst.ini"
check "after install: the setup job's values" reg_has 'HKLM\SOFTWARE\Tarvisk\pellor' installtime

# The daemon: first values, one report, three watches and their effects.
world ""
out="$(host daemon start start fire 'Options\ShowLnkFileRightMenuItem' 0 fire 'Options\ShowLnkFileRightMenuItem' 1 \
  fire 'Options\ShowControlPanelShortcut' 0 release)"; rc=$?
echo "$out"
check "daemon: balanced" test "$rc" = 0
check "daemon: every watch ran once" test "$(grep -c '^fired 1$' <<<"$out")" = 3
check "daemon: one settings report per start" test "$(grep -c 'action=1_1_1_7_1_0_0_0&$' "$klog")" = 2
check "daemon: one report of the removed menu item" test "$(grep -c 'action=qudiaoyoujianxiezai&$' "$klog")" = 1
check "daemon: the server got them" test "$(grep -c '^/stat/?type=setting&action=' "$SERVER_LOG")" = 3
# The stand-in registers no handler key: the second start registers again.
check "daemon: registrations" test "$(tr '\n' '|' <"$order")" = \
  "PellorExt.dll register|PellorExt.dll register|PellorExt.dll unregister|PellorExt.dll register|"
check "daemon: the applet is hidden" test "$(reg_value 'HKCU\Control Panel\don'"'"'t load' ZubPellor.cpl)" = NO
check "daemon: three watches, ended in order before the end notice" test \
  "$(grep -E '^(47\.8 |47\.9 |-4 89)' "$klog" | tr -d '\r' | sed 's/^47\.8 .* \([0-9]*\)$/w\1/; s/^47\.9 /u/' | tr '\n' ' ')" = \
  "w1 w2 w3 u1 u2 u3 -4 89 "

# Stored values are kept and reported.
world $'[options]\r\nOptions\\DownloadInstall=0\r\nShowUptMsg\\ShowPeriod=3\r\n'
host daemon start >/dev/null
check "daemon: stored values reported" test "$(grep -c 'action=1_0_1_3_1_0_0_0&$' "$klog")" = 1
check "daemon: and kept" test "$(option 'Options\DownloadInstall')|$(option 'ShowUptMsg\ShowPeriod')" = "0|3"
