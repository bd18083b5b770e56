# The display modes on the real display and registry, in a throwaway prefix
# of this script's own: applying a mode rewrites the text size of the prefix
# it runs in, which must never be the one the other tests share. The backup
# is always taken of the display as it is, so no resolution is ever changed.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"

private_prefix "$@"

tool() { "$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/display_mode_tool.exe" "$@" | tr -d '\r'; }
state() { grep -x -- "$2" <<<"$1" >/dev/null; }
reg() { "$E2E_WINE" --timeout 60 reg "$@" >/dev/null 2>&1; }
dword() { printf '0x%x' "$1"; }
MARKER='HKLM\SOFTWARE\Tarvisk\VynReboot'
DESKTOP='HKCU\Control Panel\Desktop'
METRICS='HKCU\Control Panel\Desktop\WindowMetrics'
FONTDPI='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontDPI'
HWFONTS='HKLM\SYSTEM\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
INI_DIR="$HARNESS_WINEPREFIX/drive_c/modes"
mkdir -p "$INI_DIR"

# ---- Windows 7 (the prefix's own version)
reg add "$DESKTOP" /v LogPixels /t REG_DWORD /d 96 /f
out="$(tool 'C:\modes\seven.ini' show)"
check "7: the first run backs up what is current" state "$out" "backupstored=1"
check "7: ... for the first time" state "$out" "firstbackup=1"
check "7: the saved mode is the one in use" state "$out" "selected=2"
ini="$(tr -d '\r' <"$INI_DIR/seven.ini")"
check "7: the backup's keys in order" test "$(grep -o '^[A-Za-z]*' <<<"$ini" | tr '\n' ' ')" = "DisplayFrequency Solution DPI UseDPIScaling UserModeSaved "
check "7: the backup holds 96 DPI" grep -qx 'DPI=96' <<<"$ini"
before="$(md5sum <"$INI_DIR/seven.ini")"

out="$(tool 'C:\modes\seven.ini' apply 1)"
check "7: elderly applied" state "$out" "applied=1"
check "7: a restart is needed" state "$out" "restartneeded=1"
check "7: LogPixels is 120" test "$(reg_value "$DESKTOP" LogPixels)" = "$(dword 120)"
check "7: DWM scaling is off" test "$(reg_value 'HKCU\Software\Microsoft\Windows\DWM' UseDpiScaling)" = "0x0"
check "7: the restart marker is there" reg query "$MARKER"
check "7: the backup was not touched" test "$(md5sum <"$INI_DIR/seven.ini")" = "$before"

# Applying again what is already there writes no DPI and asks nothing.
out="$(tool 'C:\modes\seven.ini' apply 1)"
check "7: elderly again: no restart" state "$out" "restartneeded=0"

# The uninstall job of the settings program puts the saved mode back.
APPDATA_WIN="$("$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/winprobe.exe" folder appdata | tr -d '\r')"
[ -n "$APPDATA_WIN" ] || fail "no AppData folder in the throwaway prefix"
CONFIG="$("$E2E_WINE" --timeout 60 winepath -u "$APPDATA_WIN\\tarvisk\\Corvalle.ini" 2>/dev/null | tr -d '\r')"
case "$CONFIG" in "$HARNESS_WINEPREFIX"/*) ;; *) fail "Corvalle.ini outside the throwaway prefix: $CONFIG" ;; esac
mkdir -p "$(dirname "$CONFIG")"
cp "$INI_DIR/seven.ini" "$CONFIG"
config_before="$(md5sum <"$CONFIG")"
MIRELO_DIR="$HARNESS_WINEPREFIX/drive_c/Tarvisk/Corvalle"
mkdir -p "$MIRELO_DIR"
cp "$E2E_BIN_DIR/Mirelo.exe" "$MIRELO_DIR/"
uninstall() {
  rm -f "$E2E_WORK_DIR/boxes.log"
  "$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/msgbox_watcher.exe" "Z:$(echo "$E2E_WORK_DIR/boxes.log" | tr / '\\')" 5000 >/dev/null 2>&1 &
  local watcher=$!
  sleep 0.5
  "$E2E_WINE" --timeout 60 "$MIRELO_DIR/Mirelo.exe" uninstall >/dev/null 2>&1
  UNINSTALL_RC=$?
  wait "$watcher"
}
uninstall
check "uninstall: exit code 1" test "$UNINSTALL_RC" -eq 1
check "uninstall: the one message" test "$(tr -d '\r' <"$E2E_WORK_DIR/boxes.log")" = "提示|Vynmar已经帮您还原显示模式，DPI大小重启后生效。"
check "uninstall: LogPixels is back at 96" test "$(reg_value "$DESKTOP" LogPixels)" = "$(dword 96)"
check "uninstall: the file is untouched" test "$(md5sum <"$CONFIG")" = "$config_before"
uninstall
check "uninstall again: exit code 1" test "$UNINSTALL_RC" -eq 1
check "uninstall again: nothing to restore, no message" test ! -s "$E2E_WORK_DIR/boxes.log"
rm -f "$CONFIG"
uninstall
check "uninstall without a backup: no message" test ! -s "$E2E_WORK_DIR/boxes.log"
check "uninstall without a backup: no file written" test ! -e "$CONFIG"

# A restart drops the marker.
"$E2E_WINE" --server-stop >/dev/null 2>&1
"$E2E_WINE" --server-start >/dev/null 2>&1
check "the marker is gone after a restart" test "$(tool 'C:\modes\seven.ini' show | grep norestartpending)" = "norestartpending=1"

# ---- Windows XP: the text size lives machine-wide and per user
reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d winxp /f
reg add "$METRICS" /v AppliedDPI /t REG_DWORD /d 96 /f
reg add "$METRICS" /v IconSpacing /t REG_SZ /d -1200 /f
reg add "$FONTDPI" /v LogPixels /t REG_DWORD /d 96 /f
reg add "$HWFONTS" /v LogPixels /t REG_DWORD /d 96 /f
out="$(tool 'C:\modes\xp.ini' show)"
ini="$(tr -d '\r' <"$INI_DIR/xp.ini")"
check "XP: the backup's keys in order" test "$(grep -o '^[A-Za-z]*' <<<"$ini" | tr '\n' ' ')" = "DisplayFrequency Solution FontDPI FontSmoothing FontSmoothingType IconSpacing IconVerticalspacing ShellIconSize UserModeSaved "
check "XP: the saved icon spacing" grep -qx 'IconSpacing=-1200' <<<"$ini"
out="$(tool 'C:\modes\xp.ini' apply 1)"
check "XP: elderly applied" state "$out" "applied=1"
check "XP: machine DPI 120" test "$(reg_value "$FONTDPI" LogPixels)" = "$(dword 120)"
check "XP: hardware-profile DPI 120" test "$(reg_value "$HWFONTS" LogPixels)" = "$(dword 120)"
check "XP: icon spacing -1125" test "$(reg_value "$METRICS" IconSpacing)" = "-1125"
check "XP: font smoothing 2" test "$(reg_value "$DESKTOP" FontSmoothing)" = "2"
check "XP: desktop flags 549" test "$(reg_value 'HKCU\Software\Microsoft\Windows\Shell\Bags\1\Desktop' FFlags)" = "$(dword 549)"
check "XP: the restart marker is there" reg query "$MARKER"
out="$(tool 'C:\modes\xp.ini' restore)"
check "XP: restored" state "$out" "restored=1"
check "XP: machine DPI back at 96" test "$(reg_value "$FONTDPI" LogPixels)" = "$(dword 96)"
check "XP: hardware-profile DPI back at 96" test "$(reg_value "$HWFONTS" LogPixels)" = "$(dword 96)"
check "XP: icon spacing back" test "$(reg_value "$METRICS" IconSpacing)" = "-1200"
echo "settings display modes: all checks passed"
