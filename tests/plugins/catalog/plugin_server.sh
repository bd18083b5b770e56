# The plug-ins against a local server: the kernel's real fetch (answers in
# code page 936, errors, bytes without a NUL), and the one failure report of
# a process that cannot make XML documents, which needs the security
# product's client id.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR/sec"
cp "$E2E_TEST_BIN_DIR/plugin_probe.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$RUN_DIR/"
cp "$E2E_TEST_BIN_DIR/client_id_double.dll" "$RUN_DIR/sec/Zubverify.dll"
save_app_paths
SERVER=
trap 'restore_app_paths; [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null; wait 2>/dev/null' EXIT

cat >"$E2E_WORK_DIR/routes.txt" <<'ROUTES'
/hello.xml 200 plain hello.xml
/bytes 200 binary -
/stat/* 200 plain -
ROUTES
LOG="$E2E_WORK_DIR/server.log"
start_fixture_server fixture http_fixture_server.py --lifetime 250 --routes "$E2E_WORK_DIR/routes.txt" \
  --fixture-dir "$E2E_REPO_ROOT/tests/fixtures/bex" --log "$LOG" --request-log "$E2E_WORK_DIR/requests.log"
export CORVALLE_SERVICE_BASE="http://127.0.0.1:$PORT"
probe_run() { "$E2E_WINE" --timeout 60 "$RUN_DIR/plugin_probe.exe" "$@" | tr -d '\r'; }

out="$(BEXTEST_HTTP=1 probe_run fetch "http://127.0.0.1:$PORT/hello.xml")"
echo "$out"
check "a fetched answer arrives in code page 936" grep -q '^fetch ok 27 3C 72 65 70 6C 79 3E C4 E3 BA C3 ' <<<"$out"
out="$(BEXTEST_HTTP=1 probe_run fetch "http://127.0.0.1:$PORT/nothing-here")"
check "an error answer is a failed fetch" test "$out" = "fetch failed 0"
out="$(BEXTEST_HTTP=1 probe_run fetch "http://127.0.0.1:$PORT/bytes")"
echo "$out"
check "bytes without a NUL come through whole" grep -q '^fetch ok 4096 01 02 03 ' <<<"$out"

reports() { grep -c '^/stat/' "$LOG"; }
set_app_paths REG_SZ "$(windows_path "$RUN_DIR/sec")\\tarvisk.exe"
out="$(CLIENT_ID=TESTCID probe_run xml)"
echo "$out"
check "no COM on the thread: no document" test "$out" = "xml 0x80004005
report done"
check "exactly one report, with the client id" test "$(grep -cx '/stat/?xml=err&m=TESTCID' "$LOG")" -eq 1
check "the report is a plain GET" grep -qx 'GET /stat/?xml=err&m=TESTCID HTTP/1.1' "$E2E_WORK_DIR/requests.log"

out="$(probe_run xml)"
check "without a client id: no document, no crash" test "$out" = "xml 0x80004005
report done"
clear_app_paths
out="$(CLIENT_ID=TESTCID probe_run xml)"
check "without the security product: no document, no crash" test "$out" = "xml 0x80004005
report done"
check "neither sent a report" test "$(reports)" -eq 1
echo "plugin_server: all checks passed"
