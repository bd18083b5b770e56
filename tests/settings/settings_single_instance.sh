# One Mirelo per argument: a second start with the same word hands its page
# to the running window and ends; a word of another group, or one written
# differently, runs beside it.
. "$E2E_REPO_ROOT/tests/settings/settings_lib.sh"
private_prefix "$@"
install_mirelo
trap cleanup_mirelo EXIT

start_standin
start_mirelo general general
check "general window" window_shown TFormCorvalleOption
sleep 0.5
start_mirelo eye eye
for i in $(seq 1 100); do [ "$(probe count TFormCorvalleOption)" = 2 ] && break; sleep 0.1; done
check "eye runs beside general" test "$(probe count TFormCorvalleOption)" = 2
sleep 0.5
check "the health window is in front" foreground_is "TFormCorvalleOption|ZubVynmar设置 - 健康护士"

mirelo general
check "a second general ends with 0" test "$?" -eq 0
sleep 0.3
check "still two windows" test "$(probe count TFormCorvalleOption)" = 2
check "the general window came to the front" foreground_is "TFormCorvalleOption|ZubVynmar设置 - 设置"

mirelo EYE
check "a second EYE ends with 0" test "$?" -eq 0
sleep 0.3
check "the health window came to the front" foreground_is "TFormCorvalleOption|ZubVynmar设置 - 健康护士"

# "timeshutdown" matches neither window: nothing moves.
start_mirelo shutdown timeshutdown
for i in $(seq 1 100); do [ "$(probe count TFormCorvalleOption)" = 3 ] && break; sleep 0.1; done
check "timeshutdown is an instance of its own" test "$(probe count TFormCorvalleOption)" = 3
sleep 0.5
mirelo general
check "general again ends with 0" test "$?" -eq 0
sleep 0.3
check "only the general window came forward" foreground_is "TFormCorvalleOption|ZubVynmar设置 - 设置"

# "/eye" is another word than "eye": a new instance, not a hand-over.
start_mirelo slash /eye
for i in $(seq 1 100); do [ "$(probe count TFormCorvalleOption)" = 4 ] && break; sleep 0.1; done
check "/eye runs beside eye" test "$(probe count TFormCorvalleOption)" = 4

stop_standins
for tag in general eye shutdown slash; do
  check "$tag ends once Corvalle is gone" test "$(mirelo_rc $tag 10)" = 1
done
echo "settings single instance: all checks passed"
