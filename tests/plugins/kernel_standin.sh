# The stand-in kernel fails loudly on a slot no one may call: it logs the
# class and slot and ends the process with its own exit code, for its
# services and for the foreign objects it hands out in place of a class.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR"
cp "$E2E_TEST_BIN_DIR/plugin_probe.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$RUN_DIR/"
export BEXTEST_LOG="$(windows_path "$E2E_WORK_DIR/kernel.log")"
export BEXTEST_CONFIG="$(windows_path "$E2E_WORK_DIR/kernel.ini")"
printf '[classes]\n70=foreign\n301=foreign\n' >"$E2E_WORK_DIR/kernel.ini"

for call in "3 20" "7 6" "70 23" "301 8"; do
  set -- $call
  "$E2E_WINE" --timeout 60 "$RUN_DIR/plugin_probe.exe" slot "$1" "$2" >/dev/null
  rc=$?
  check "class $1 slot $2 ends the process" test "$rc" -eq 86
  check "class $1 slot $2 is named in the log" grep -qx "UNEXPECTED class $1 slot $2" <(tr -d '\r' <"$E2E_WORK_DIR/kernel.log")
done
echo "kernel_standin: all checks passed"
