# Mirelo's command line: exit codes, "init" without a window, "uninstall",
# the titled window on its page, and the two ways Corvalle ends it.
. "$E2E_REPO_ROOT/tests/settings/settings_lib.sh"
private_prefix "$@"
install_mirelo
trap cleanup_mirelo EXIT

# Anything that is not one of the words ends at once, without a window.
for arg in "" bogus --eye eyes autorun; do
  start=$(now_ms)
  mirelo $arg
  rc=$?
  check "[$arg] exit code 0" test "$rc" -eq 0
  check "[$arg] ends at once" test $(( $(now_ms) - start )) -lt 5000
done
check "no settings window was made" test "$(probe count TFormCorvalleOption)" = 0
check "nothing wrote the settings file" test ! -e "$CONFIG"

# "init" folds the older shutdown layout in and fills the rest defaults.
printf '[vyn]\r\nTimeShutDownCount=1\r\n[eye]\r\nrun=1\r\n[vynShutDown]\r\nShutDownAlertTime=22:30\r\nShutDownAlertRepeat=1\r\nShutDownStyle=2\r\n[vynShutDown1]\r\nShutDownAlertTime=23:00\r\nShutDownAlertRepeat=1\r\nState=1\r\n' >"$CONFIG"
mirelo INIT
check "init: exit code 0" test "$?" -eq 0
check "init: interval 120" test "$(ini_value eye interval)" = 120
check "init: rest time 5" test "$(ini_value eye resttime)" = 5
check "init: two shutdowns" test "$(ini_value vyn TimeShutDownCount)" = 2
check "init: the older one first" test "$(ini_value vynShutDown1 ShutDownAlertTime)" = 22:30
check "init: then the numbered one" test "$(ini_value vynShutDown2 ShutDownAlertTime)" = 23:00
check "init: the older section is gone" test -z "$(grep -x '\[vynShutDown\]' "$CONFIG" | tr -d '\r')"

# "uninstall" has nothing to restore yet: it ends with 1, silently, and
# leaves the file alone.
before="$(md5sum <"$CONFIG")"
"$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/msgbox_watcher.exe" "Z:$(echo "$E2E_WORK_DIR/boxes.log" | tr / '\\')" 4000 >/dev/null 2>&1 &
watcher=$!
mirelo uninstall
check "uninstall: exit code 1" test "$?" -eq 1
wait "$watcher"
check "uninstall: no message" test ! -s "$E2E_WORK_DIR/boxes.log"
check "uninstall: the file is untouched" test "$(md5sum <"$CONFIG")" = "$before"

# Without Corvalle's window a settings window ends by itself.
start_mirelo alone general
check "alone: ends by itself with exit code 1" test "$(mirelo_rc alone 10)" = 1

# With it, "general" opens a titled window that a test can find.
start_standin
start_mirelo general general
check "general: the window appears" window_shown TFormCorvalleOption
check "general: title, client size, owner" test "$(sprobe windows TFormCorvalleOption)" = "ZubVynmar设置 - 设置|320x365|1|MireloApplication"
check "general: the taskbar title" test "$(sprobe windows MireloApplication | cut -d'|' -f1)" = "ZubVynmar - 设置"
check "general: the shutdown list is announced" wait_for_line "$STANDIN_LOG" "5632 0 0 1.ini"
check "general: the file was written before the post" grep -q 'TimeShutDownCount=2' "$STANDIN_COPIES/1.ini"
sleep 1
check "general: still open beside Corvalle" test "$(mirelo_rc general 0)" = running
"$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/winprobe.exe" post TFormCorvalleOption 0x1605 >/dev/null
check "general: WM_CLOSE_SETTINGS ends it with 0" test "$(mirelo_rc general 10)" = 0

# The close button of an empty reminder list reports code 9, then closes.
start_mirelo timealert timealert
check "timealert: the window appears" window_shown TFormCorvalleOption
check "timealert: its title" test "$(sprobe windows TFormCorvalleOption | cut -d'|' -f1-2)" = "ZubVynmar设置 - 定时提醒|320x365"
sleep 0.3
sprobe click TFormCorvalleOption 290 8
check "timealert: closed with exit code 0" test "$(mirelo_rc timealert 10)" = 0
code9() { local i; for i in $(seq 1 50); do grep -q '^5636 9 0 ' "$STANDIN_LOG" && return 0; sleep 0.1; done; return 1; }
check "timealert: code 9 reached Corvalle" code9

# "eye" is the wide health page.
start_mirelo eye EYE
check "eye: the window appears" window_shown TFormCorvalleOption
check "eye: its title and size" test "$(sprobe windows TFormCorvalleOption | cut -d'|' -f1-2)" = "ZubVynmar设置 - 健康护士|620x420"
# "init" runs beside an open window without a mutex or a window of its own.
mirelo init
check "init beside a window: exit code 0" test "$?" -eq 0
check "init beside a window: still one window" test "$(probe count TFormCorvalleOption)" = 1
stop_standins
check "eye: ends once Corvalle's window is gone" test "$(mirelo_rc eye 10)" = 1
echo "settings command line: all checks passed"
