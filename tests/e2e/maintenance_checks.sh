# The start-up items check end to end in test mode: Corvalle installed below
# the security product's folder, which holds the recording Tarvisk.exe, the
# stand-in kernel in Pellor\ (ten start-up items in state 2) and the
# clean-up library's stand-in in sweeper\. The tip shows with its link, the
# link starts the product's speed-up function, and the kernel is left
# balanced and unloaded.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
install_corvalle
ROOT="$(dirname "$INSTALL_DIR")"
ROOT_WIN="${INSTALL_DIR_WIN%\\Corvalle}"
mkdir -p "$ROOT/Pellor" "$ROOT/sweeper"
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$ROOT/Tarvisk.exe"
cp "$E2E_TEST_BIN_DIR/bexkernl.dll" "$ROOT/Pellor/bexkernl.dll"
cp "$E2E_TEST_BIN_DIR/drovask_double.dll" "$ROOT/sweeper/Drovask.dll"
returning_user_config
save_app_paths
restore() {
  cleanup_install
  restore_app_paths
  rm -f "$CONFIG" "$E2E_WINEPREFIX/drive_c/vyntest.ini"
}
trap restore EXIT
probe ini 'c:\vyntest.ini' vyntest value on
set_app_paths REG_SZ "$ROOT_WIN\\Tarvisk.exe"

KERNEL_INI="$E2E_WORK_DIR/kernel.ini"
KERNEL_LOG="$E2E_WORK_DIR/kernel.log"
printf '[startup]\r\nitems=10\r\n' >"$KERNEL_INI"
export BEXTEST_CONFIG BEXTEST_LOG DROVASK_LOG
BEXTEST_CONFIG="$(windows_path "$KERNEL_INI")"
BEXTEST_LOG="$(windows_path "$KERNEL_LOG")"
DROVASK_LOG="$(windows_path "$E2E_WORK_DIR/drovask.log")"

tip_text() { probe text CorvalleTipWndSub; }
CORVALLE_TIMEOUT=200 start_corvalle
check "the mascot starts" probe find Corvalle 30000 >/dev/null
found=""
for _ in $(seq 1 90); do
  case "$(tip_text)" in *启动项过多*修复问题*) found=yes; break ;; esac
  sleep 1
done
check "the start-up tip shows with its link" test -n "$found"
probe post Corvalle 1425 0 0
check "the link starts the product's speed-up" wait_for_line_long "$ROOT/Tarvisk.exe.calls" "/funname=startupspeedup" 20
log="$(tr -d '\r' <"$KERNEL_LOG")"
check "the kernel was initialised first" test "$(echo "$log" | head -1)" = attach -a "$(echo "$log" | sed -n 2p)" = init
check "everything was released before the shut-down" sh -c "echo '$log' | grep -A1 -x shutdown | tail -1 | grep -qx 'live 0'"
check "the kernel was unloaded last" test "$(echo "$log" | tail -1)" = detach
echo "maintenance checks: all checks passed"
