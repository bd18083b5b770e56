# A second start gives way to the first: exit code 0, one window of class
# "Corvalle"; with "eyeguardian" it still opens the settings program's page.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
returning_user_config
trap 'cleanup_install; rm -f "$CONFIG"' EXIT

start_corvalle
check "the first copy shows its window" probe find Corvalle 30000 >/dev/null

corvalle
check "a second copy ends with exit code 0" test "$?" -eq 0
check "one window of class Corvalle remains" test "$(probe count Corvalle)" = 1
check "the first copy still runs" kill -0 "$CORVALLE_PID"

corvalle /eyeguardian
check "a second copy with eyeguardian ends with 0" test "$?" -eq 0
check "it opened the settings program on its eye page" wait_for_line "$INSTALL_DIR/Mirelo.exe.calls" eye
check "still one window" test "$(probe count Corvalle)" = 1
echo "single instance: all checks passed"
