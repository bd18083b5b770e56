# "Corvalle.exe /UNINSTALL": runs the settings program with "uninstall",
# removes the log-on value and the desktop shortcut, puts the window colour
# back to white only when it is the eye-protection green and the settings say
# Corvalle set it, and ends with exit code 1 without showing a window.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
RUN_KEY='HKCU\software\microsoft\windows\currentversion\run'
COLORS_KEY='HKCU\Control Panel\Colors'
restore() {
  probe syscolor 255 255 255 >/dev/null
  "$E2E_WINE" --timeout 60 reg add "$COLORS_KEY" /v Window /t REG_SZ /d "255 255 255" /f >/dev/null 2>&1
  rm -f "$CONFIG"
  cleanup_install
}
trap restore EXIT

APPDATA_WIN="$(probe folder appdata)"
DESKTOP_WIN="$(probe folder desktop)"
CONFIG_WIN="$APPDATA_WIN\\tarvisk\\Corvalle.ini"
CONFIG="$("$E2E_WINE" --timeout 60 winepath -u "$CONFIG_WIN" 2>/dev/null | tr -d '\r')"
mkdir -p "$(dirname "$CONFIG")"
SHORTCUT_WIN="$DESKTOP_WIN\\ZubVynmar.lnk"

# colour before, seteyeprotection, colour expected after
run_case() {
  local before="$1" flag="$2" after="$3"
  rm -f "$INSTALL_DIR/Mirelo.exe.calls"
  "$E2E_WINE" --timeout 60 reg add "$RUN_KEY" /v Corvalle /t REG_SZ /d "\"$INSTALL_DIR_WIN\\Corvalle.exe\" autorun" /f >/dev/null 2>&1
  probe touch "$SHORTCUT_WIN" || fail "cannot place the desktop shortcut"
  # shellcheck disable=SC2086
  probe syscolor $before >/dev/null
  probe ini "$CONFIG_WIN" vyn seteyeprotection "$flag" || fail "cannot write the settings file"

  corvalle /UNINSTALL
  check "[$before/$flag] exit code 1" test "$?" -eq 1
  check "[$before/$flag] the settings program ran with uninstall" wait_for_line "$INSTALL_DIR/Mirelo.exe.calls" uninstall
  check "[$before/$flag] the Run value is gone" test -z "$(reg_has "$RUN_KEY" Corvalle && echo present)"
  check "[$before/$flag] the desktop shortcut is gone" test -n "$(probe exists "$SHORTCUT_WIN" || echo gone)"
  check "[$before/$flag] window colour is $after" test "$(probe syscolor)" = "$after"
  check "[$before/$flag] no window was created" test "$(probe count Corvalle)" = 0
}

run_case "204 232 207" true "255 255 255"
check "the white colour is stored for the next log-on" test "$(reg_value "$COLORS_KEY" Window)" = "255 255 255"
run_case "204 232 207" false "204 232 207"
run_case "204 232 207" TRUE "204 232 207"
run_case "250 250 250" true "250 250 250"

# A switch anywhere in the line, in any case, starts the clean-up.
rm -f "$INSTALL_DIR/Mirelo.exe.calls"
corvalle xx-uninstallyy
check "a switch inside a word still cleans up" test "$?" -eq 1
corvalle /autorun /uninstall
check "uninstall wins over autorun" test "$?" -eq 1
check "no window after the clean-ups" test "$(probe count Corvalle)" = 0
echo "uninstall: all checks passed"
