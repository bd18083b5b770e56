# The setup utility's uninstall clean-up as a host reaches it, in a
# throwaway prefix of this script's own: the App Paths folder C:\Sec\, the
# manager in C:\Sec\Pellor\, the host program (and Lumvex.dll) in C:\Host\,
# so the privacy protector lives in C:\Tarviskmon\. Programs and libraries
# it starts or unregisters are stand-ins writing to the shared ordered log;
# the windows it closes are winprobe listeners logging what they receive.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"

private_prefix "$@"

C="$HARNESS_WINEPREFIX/drive_c"
mkdir -p "$C/Sec/Pellor" "$C/Sec/DtMgr" "$C/Host" "$C/Tarviskmon" "$C/Pin"
for name in PellorExt.dll PellorWebProxy.dll ZubPellorS.dll; do
  cp "$E2E_TEST_BIN_DIR/registration_double.dll" "$C/Sec/Pellor/$name"
done
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$C/Sec/DtMgr/Uninstall.exe"
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$C/Sec/Pellor/AdvUtils.exe"
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$C/Sec/Pellor/TaskbarUnpin.exe"
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_BIN_DIR/Lumvex.dll" "$C/Host/"
for name in ZubPrivacyCtrl.exe Zubprivacymon.dat ZubPrivacyMon.dll AppFltr.dll; do echo x >"$C/Tarviskmon/$name"; done
echo x >"$C/Pin/Pellor.pinx"
# The app centre's library with one web app run by the desktop product's runner.
cp "$E2E_TEST_BIN_DIR/app_centre_double.dll" "$C/Host/NessaryData.dll"
printf '12\t2\tC:\\WA\t-\n' >"$E2E_WORK_DIR/apps.txt"
export APP_CENTRE_APPS="$(windows_path "$E2E_WORK_DIR/apps.txt")"
export APP_CENTRE_LOG="$(windows_path "$E2E_WORK_DIR/app_centre.log")"

reg() { "$E2E_WINE" --timeout 60 reg "$@" >/dev/null 2>&1; }
reg_key() { "$E2E_WINE" --timeout 60 reg query "$1" >/dev/null 2>&1; }
DOCK='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer\StartButtonDock'
DESKTOP_ENTRY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZubDesktop'
reg add "$APP_PATHS_KEY" /v Path /t REG_SZ /d 'C:\Sec\' /f || fail "App Paths not written"
# The shell's "taskbarunpin" verb, which Wine lacks, given to one file type so
# the attempt shows in the ordered log.
reg add 'HKCR\.pinx' /ve /d pinxfile /f
reg add 'HKCR\pinxfile\shell\taskbarunpin\command' /ve /d '"C:\Sec\Pellor\TaskbarUnpin.exe" "%1"' /f

desktop="$(probe folder desktop)"
appdata="$(probe folder appdata)"
temp="$(probe folder temp)"
programs="$(probe folder programs)"
common='C:\users\Public\Desktop'
[ -n "$desktop" ] && [ -n "$appdata" ] && [ -n "$temp" ] && [ -n "$programs" ] || fail "no user folders"

ini="$E2E_WORK_DIR/kernel.ini"
klog="$E2E_WORK_DIR/kernel.log"
order="$E2E_WORK_DIR/order.log"
export BEXTEST_LOG="$(windows_path "$klog")"
export BEXTEST_CONFIG="$(windows_path "$ini")"
export OUTSIDE_ORDER_LOG="$(windows_path "$order")"
world() {
  printf '[environment]\r\nmanagerFolder=%s\r\n[options]\r\nOptions\\PinWin7TaskBarIcon=C:\\Pin\\Pellor.pinx\r\n' "$1" >"$ini"
  rm -f "$klog" "$order"
}
host() {
  RECORDING_PROGRAM_DELETE_KEY_Uninstall="$DESKTOP_ENTRY" "$E2E_WINE" --timeout 90 'C:\Host\bexhost.exe' "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}
exists() { probe exists "$1" >/dev/null 2>&1; }
absent() { local path; for path; do exists "$path" && return 1; done; return 0; }

# The machine as an installed manager leaves it.
for key in 3:QZubTaskBtn 5:OtherBtn 7:QZubTaskBtn; do
  reg add "$DOCK\\${key%%:*}" /v ButtonClassName /d "${key#*:}" /f
done
reg add "$DESKTOP_ENTRY" /v DisplayName /d 'Zub desktop' /f
reg add 'HKCR\pellorandzub\shell\open\command' /ve /d x /f
reg add 'HKCU\Software\ZubPellor\x' /f
reg add 'HKCU\Control Panel\don'"'"'t load' /v ZubPellor.cpl /d NO /f
probe link "$desktop\\tolvane.lnk" 'C:\Sec\Pellor\Tolvane.exe' >/dev/null
probe link "$desktop\\pellorand.lnk" 'C:\Sec\Pellor\Pellorand.exe' >/dev/null
probe link "$desktop\\notepad.lnk" 'C:\windows\notepad.exe' >/dev/null
probe link "$desktop\\webapp.lnk" 'C:\Host\Zubwapp.exe' '/w 12 /t 0 /d "C:\WA"' >/dev/null
for folder in "$desktop" "$common"; do
  probe link "$folder\\Zub隐私保护器.lnk" 'C:\Tarviskmon\ZubPrivacyCtrl.exe' >/dev/null
done
unix() { local p="${1#C:\\}"; printf '%s/%s' "$C" "${p//\\//}"; }
# The Start-menu pin: its link, its record, a Quick Launch link to the manager.
LINK_NAME='强力卸载电脑上的软件.lnk'
PINS='HKLM\SOFTWARE\Zubpellor\pellors'
quick="$appdata\\Microsoft\\Internet Explorer\\Quick Launch"
mkdir -p "$(unix "$quick")"
probe link "$programs\\$LINK_NAME" 'C:\Sec\Pellor\RidireNotify.exe' >/dev/null
probe link "$quick\\pellorand.lnk" 'C:\Sec\Pellor\Pellorand.exe' >/dev/null
probe link "$quick\\notepad.lnk" 'C:\windows\notepad.exe' >/dev/null
reg add "$PINS" /v AlReadyPin /t REG_DWORD /d 1 /f
exists "$programs\\$LINK_NAME" && exists "$quick\\pellorand.lnk" || fail "the pin's links could not be made"
mkdir -p "$(unix "$appdata")/tarvisk/ZubPellorLite"
echo lite >"$(unix "$appdata")/tarvisk/ZubPellorLite/a.txt"
exists "$desktop\\tolvane.lnk" && exists "$common\\Zub隐私保护器.lnk" || fail "the links could not be made"

# The maker's windows, each logging the close requests it receives.
listen() {  # FILE CLASS TITLE [COUNT]
  "$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/winprobe.exe" listen "$2" 15000 "$(windows_path "$E2E_WORK_DIR/$1")" \
    "$3" "${4:-1}" >/dev/null 2>&1 &
}
rm -f "$E2E_WORK_DIR"/close_*.log
listen close_onekey.log ZubOneKeyInstall onekey
listen close_upgrade.log - 'Zub升级提示小助手'
listen close_pellorvan.log - ZubPellorvan 3
listen close_tolvane.log ZubTolvaneClass tolvane
listen close_privacy.log QZubPrivacyClass privacy
for i in $(seq 1 100); do
  [ "$(probe count WinprobeListen)" = 4 ] && probe find ZubOneKeyInstall >/dev/null 2>&1 &&
    probe find ZubTolvaneClass >/dev/null 2>&1 && probe find QZubPrivacyClass >/dev/null 2>&1 && break
  sleep 0.2
done
[ "$(probe count WinprobeListen)" = 4 ] || fail "the listening windows did not come up"

world 'C:\Sec\Pellor\'
out="$(host setup uninstall)"; rc=$?
echo "$out"
cat "$order"
check "uninstall: 0, balanced" test "$rc" = 0 -a "$out" = "uninstall 0"
check "dock: both manager buttons gone, the other stays" test \
  "$(reg_key "$DOCK\\3"; echo $?)$(reg_key "$DOCK\\5"; echo $?)$(reg_key "$DOCK\\7"; echo $?)" = 101
check "the desktop product's uninstaller ran" grep -qx 'Uninstall.exe /Uninst' "$order"
check "in order: uninstaller, its entry gone, the setup job, the handler, AdvUtils, the proxy" test \
  "$(grep -E '^(Uninstall.exe|ZubPellorS.dll|PellorExt.dll|AdvUtils.exe|PellorWebProxy.dll)' "$order" |
     sed 's/ deleted .*/ deleted/' | tr '\n' '|')" = \
  'Uninstall.exe /Uninst|Uninstall.exe deleted|ZubPellorS.dll unregister|PellorExt.dll unregister|AdvUtils.exe WritebackReg|PellorWebProxy.dll unregister|'
unpinned() { local i; for i in $(seq 1 50); do grep -q '^TaskbarUnpin.exe .*C:\\Pin\\Pellor.pinx' "$order" && return 0; sleep 0.2; done; return 1; }
check "the taskbar icon's unpin was asked for with the option's path" unpinned
check "the URL protocol is gone" bash -c '! "$0" --timeout 60 reg query "HKCR\pellorandzub" >/dev/null 2>&1' "$E2E_WINE"
check "the setup job's user key is gone" bash -c '! "$0" --timeout 60 reg query "HKCU\Software\ZubPellor" >/dev/null 2>&1' "$E2E_WINE"
check "the applet value is gone" bash -c '! "$0" --timeout 60 reg query "HKCU\Control Panel\don'"'"'t load" /v ZubPellor.cpl >/dev/null 2>&1' "$E2E_WINE"
check "links to the manager's programs gone" absent "$desktop\\tolvane.lnk" "$desktop\\pellorand.lnk"
check "the link to another program stays" exists "$desktop\\notepad.lnk"
check "the web app's link is gone" absent "$desktop\\webapp.lnk"
check "the app centre was asked and let go" test "$(tr -d '\r' <"$E2E_WORK_DIR/app_centre.log" | tr '\n' '|')" = \
  "ipc|count 1|ids 1|record 12|end|"
check "the privacy protector's links gone from both desktops" absent "$desktop\\Zub隐私保护器.lnk" \
  "$common\\Zub隐私保护器.lnk"
check "the privacy protector's files gone" test -z "$(ls "$C/Tarviskmon" | grep -v '^param.ini$')"
check "the privacy protector makes its link again" grep -q 'CreateLnk=1' "$C/Tarviskmon/param.ini"
check "the lite folder kept in the temporary folder" exists "$temp\\ZubPellorLite\\a.txt"
check "Start menu: the uninstall link gone" absent "$programs\\$LINK_NAME"
check "Start menu: AlReadyPin is 0" test "$(reg_value "$PINS" AlReadyPin)" = "0x0"
check "Quick Launch: the link to the manager gone" absent "$quick\\pellorand.lnk"
check "Quick Launch: a link to another program stays" exists "$quick\\notepad.lnk"
wait
for name in onekey upgrade tolvane privacy; do
  check "window $name: one close request 517 517" test "$(tr -d '\r' <"$E2E_WORK_DIR/close_$name.log")" = "16 517 517"
done
check "three ZubPellorvan windows: one request each" test \
  "$(tr -d '\r' <"$E2E_WORK_DIR/close_pellorvan.log" | tr '\n' '|')" = "16 517 517|16 517 517|16 517 517|"

# Without the desktop uninstaller, its entry still present: no wait.
rm -f "$C/Sec/DtMgr/Uninstall.exe"
reg add "$DESKTOP_ENTRY" /v DisplayName /d 'Zub desktop' /f
world 'C:\Sec\Pellor\'
# Without an uninstaller the whole host run takes well under a second; a
# wait would take 30 s.
start=$(date +%s%N)
out="$(host setup uninstall)"; rc=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
echo "no uninstaller: the host ran $elapsed ms"
check "no uninstaller: no wait, balanced" test "$rc" = 0 -a "$elapsed" -lt 2000
check "no uninstaller: the setup job still ran" grep -qx 'ZubPellorS.dll unregister' "$order"

# Without the manager's folder nothing is started or unregistered.
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$C/Sec/DtMgr/Uninstall.exe"
world ''
out="$(host setup uninstall)"; rc=$?
check "empty manager folder: balanced" test "$rc" = 0
check "empty manager folder: nothing started" bash -c '[ ! -f "$0" ] || ! grep -qE "^(Uninstall.exe|AdvUtils.exe|PellorExt.dll|ZubPellorS.dll)" "$0"' "$order"
