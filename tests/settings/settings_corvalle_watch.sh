# Mirelo lives as long as Corvalle's window: it ends within a second of the
# window going away, the stand-in's or the real Corvalle's, and the real
# Corvalle takes what Mirelo posts to it.
. "$E2E_REPO_ROOT/tests/settings/settings_lib.sh"
private_prefix "$@"
install_mirelo
install_corvalle
cp "$E2E_BIN_DIR/Mirelo.exe" "$INSTALL_DIR/Mirelo.exe"
MIRELO_DIR="$INSTALL_DIR"
trap 'cleanup_mirelo; cleanup_install' EXIT

# The stand-in goes away by itself.
start_standin 4000
start_mirelo first general
check "the window appears" window_shown TFormCorvalleOption
wait "${STANDIN_PIDS[0]}"
gone=$(now_ms)
STANDIN_PIDS=()
check "ends with exit code 1" test "$(mirelo_rc first 10)" = 1
took=$(( $(cat "$E2E_WORK_DIR/first.end") - gone ))
echo "ended ${took} ms after the stand-in"
check "ends within a second" test "$took" -lt 1000

# The real Corvalle.
start_corvalle
check "Corvalle shows its window" probe find Corvalle 30000
start_mirelo real eye
check "the health window appears" window_shown TFormCorvalleOption
sleep 1.5
check "Mirelo stays beside Corvalle" test "$(mirelo_rc real 0)" = running
check "Corvalle took the change notice and runs on" kill -0 "$CORVALLE_PID"
check "a reserved message is answered with 1" test "$(probe send Corvalle 0x1601)" = 1
end_corvalle
gone=$(now_ms)
check "Mirelo ends with exit code 1" test "$(mirelo_rc real 10)" = 1
took=$(( $(cat "$E2E_WORK_DIR/real.end") - gone ))
echo "ended ${took} ms after Corvalle"
check "within a second of Corvalle" test "$took" -lt 1000
echo "settings and Corvalle: all checks passed"
