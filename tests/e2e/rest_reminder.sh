# In test mode the rest reminder comes after 150 seconds of use: its bubble
# shows the tip with its link, the ring is played by the player, and a click
# on the link asks the mascot for the neck exercise and changes the tip.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$INSTALL_DIR/Piravel.exe"
returning_user_config
SWITCH_WIN='c:\vyntest.ini'
restore() {
  cleanup_install
  rm -f "$CONFIG" "$E2E_WINEPREFIX/drive_c/vyntest.ini"
  probe kill Corvalle.exe >/dev/null
}
trap restore EXIT
probe ini "$SWITCH_WIN" vyntest value on
ring_win="$INSTALL_DIR_WIN\\halvet.ui"
probe ini "$CONFIG_WIN" vyn UseWiseAlertRing 1
probe ini "$CONFIG_WIN" vyn Ring "$ring_win"

tip_text() { probe text CorvalleTipWndSub; }
CORVALLE_TIMEOUT=400 start_corvalle
check "the mascot starts" probe find Corvalle 30000 >/dev/null
found=""
for _ in $(seq 1 150); do
  case "$(tip_text)" in *做颈椎操*) found=yes; break ;; esac
  sleep 2
done
check "the rest tip shows with its link within the test-mode interval" test -n "$found"
check "the ring was played by the player" wait_for_line_long "$INSTALL_DIR/Piravel.exe.calls" "$ring_win" 20
probe post Corvalle 1425 0 0
changed=""
for _ in $(seq 1 20); do
  case "$(tip_text)" in *你的显示器没有坏哦*) changed=yes; break ;; esac
  sleep 0.5
done
check "the link changed the tip's text" test -n "$changed"
check "the neck exercise opened" sh -c "for i in \$(seq 1 20); do [ \"\$('$E2E_WINE' --timeout 30 '$E2E_TEST_BIN_DIR/winprobe.exe' count '#32770' | tr -d '\r')\" -ge 1 ] && exit 0; sleep 0.5; done; exit 1"
echo "rest reminder: all checks passed"
