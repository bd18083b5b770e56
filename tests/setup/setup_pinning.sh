# Pinning touches machine state (HKLM, the all-users Start menu, Quick
# Launch): its checks run in a throwaway prefix of this script's own. The
# checks themselves are the PinToStartMenu group of lumvex_setup_tests,
# run here instead of in the shared prefix; afterwards nothing of theirs
# may be left in the prefix.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"

export HARNESS_WINEPREFIX="$E2E_WORK_DIR/prefix"
rm -rf "$HARNESS_WINEPREFIX"
finish() {
  "$E2E_WINE" --server-stop >/dev/null 2>&1
  rm -rf "$HARNESS_WINEPREFIX"
}
trap finish EXIT
"$E2E_WINE" --init >/dev/null 2>&1 || fail "the throwaway prefix could not be made"
"$E2E_WINE" --server-start >/dev/null 2>&1

windows_path() { "$E2E_WINE" --timeout 60 winepath -w "$1" 2>/dev/null | tr -d '\r'; }
RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR"
export TEST_BIN_DIR="$(windows_path "$E2E_BIN_DIR")"
export TEST_WORK_DIR="$(windows_path "$RUN_DIR")"
[ -n "$TEST_BIN_DIR" ] && [ -n "$TEST_WORK_DIR" ] || fail "no Windows paths for the test folders"

cd "$RUN_DIR"
check "pinning: every check of the group passes in the throwaway prefix" \
  "$E2E_WINE" --timeout 180 "$E2E_TEST_BIN_DIR/lumvex_setup_tests.exe" '--gtest_filter=PinToStartMenu.*'

check "pinning: no pin record is left behind" \
  bash -c '! "$0" --timeout 60 reg query "HKLM\SOFTWARE\Zubpellor\pellors" >/dev/null 2>&1' "$E2E_WINE"
