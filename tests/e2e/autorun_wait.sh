# Started at log-on ("autorun"), Corvalle waits for the manager's service to
# touch its registry key before it shows up; without the key it does not wait.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
returning_user_config
SERVICE_KEY='HKCU\Software\ZubPellor\ZubPellorService'
restore() {
  "$E2E_WINE" --timeout 60 reg delete "$SERVICE_KEY" /f >/dev/null 2>&1
  cleanup_install
  rm -f "$CONFIG"
}
trap restore EXIT

"$E2E_WINE" --timeout 60 reg delete "$SERVICE_KEY" /f >/dev/null 2>&1
start_corvalle /autorun
check "without the service key the window comes at once" probe find Corvalle 30000 >/dev/null
end_corvalle
probe gone Corvalle 10000 || fail "the window outlived its process"

"$E2E_WINE" --timeout 60 reg add "$SERVICE_KEY" /v State /t REG_DWORD /d 0 /f >/dev/null 2>&1
start_corvalle /autorun
sleep 4
check "with the key it waits for the service" test "$(probe count Corvalle)" = 0
"$E2E_WINE" --timeout 60 reg add "$SERVICE_KEY" /v State /t REG_DWORD /d 1 /f >/dev/null 2>&1
check "a change of the key ends the wait" probe find Corvalle 30000 >/dev/null
echo "autorun wait: all checks passed"
