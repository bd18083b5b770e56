# The menu commands and the leaving sequence of the real Corvalle.exe: each
# settings item starts the settings program (a recording stand-in) with its
# page word and sends its statistic (through the statistics stand-in);
# "退出" posts the close request to the settings window and the process ends
# with exit code 0.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
returning_user_config
PRODUCT_DIR="$(dirname "$INSTALL_DIR")"
mkdir -p "$PRODUCT_DIR/sweeper"
cp "$E2E_TEST_BIN_DIR/stats_double.dll" "$PRODUCT_DIR/sweeper/Quellin.dll"
STATS_LOG_LINUX="$E2E_WORK_DIR/stats.log"
export STATS_LOG="$("$E2E_WINE" --timeout 60 winepath -w "$STATS_LOG_LINUX" 2>/dev/null | tr -d '\r')"
LISTEN_PID=""
restore() {
  [ -n "$LISTEN_PID" ] && kill "$LISTEN_PID" 2>/dev/null
  probe kill winprobe.exe >/dev/null 2>&1
  cleanup_install
  rm -f "$CONFIG"
}
trap restore EXIT

CORVALLE_TIMEOUT=120 start_corvalle
check "the mascot starts" probe find Corvalle 30000 >/dev/null
check "the start-up statistic is sent" wait_for_line_long "$STATS_LOG_LINUX" \
  "http://stat.zubpellor.com/track.htm?program=vyn&type=fromuser&appver=1.0.0.1&m=" 20

for item in "501 general vynset&type=fromrmenu" "507 eye vyneye&type=fromrmenu" \
            "508 timealert vynremind&type=fromrmenu" "509 timeshutdown vynturnoff&type=fromrmenu"; do
  set -- $item
  probe post Corvalle 0x111 "$1" 0
  check "menu item $1 starts the settings program with \"$2\"" wait_for_line "$INSTALL_DIR/Mirelo.exe.calls" "$2"
  check "menu item $1 sends \"$3\"" wait_for_line_long "$STATS_LOG_LINUX" \
    "http://stat.zubpellor.com/track.htm?program=$3&appver=1.0.0.1&m=" 20
done

probe post Corvalle 0x111 506 0
probe post Corvalle 0x111 600 0
sleep 1
check "program-list commands do nothing" probe find Corvalle 1000 >/dev/null

# A window of the settings program's class that logs what it receives.
"$E2E_WINE" --timeout 90 "$E2E_TEST_BIN_DIR/winprobe.exe" listen TFormCorvalleOption 60000 \
  "$("$E2E_WINE" --timeout 60 winepath -w "$E2E_WORK_DIR/settings.log" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1 &
LISTEN_PID=$!
check "the settings window stands in" probe find TFormCorvalleOption 20000 >/dev/null

probe post Corvalle 0x111 500 0
wait "$CORVALLE_PID"
rc=$?
CORVALLE_PID=
check "after the leaving strip the process ends with exit code 0 (got $rc)" test "$rc" -eq 0
check "the settings window was asked to close" grep -q "^$((0x1605)) 0 0" "$E2E_WORK_DIR/settings.log"
check "the exit statistic was sent" wait_for_line_long "$STATS_LOG_LINUX" \
  "http://stat.zubpellor.com/track.htm?program=vyn&type=exit&appver=1.0.0.1&m=" 4
check "the position was saved" grep -qa "^x=" "$CONFIG"
echo "menus: all checks passed"
