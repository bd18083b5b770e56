# The weather tip end to end: the companion's code starts the real Piravel.exe,
# which fetches from a local server into the dated file; then a server that
# never answers must not hold the caller past its time-out.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR"
cp "$E2E_TEST_BIN_DIR/weather_fetch_tests.exe" "$E2E_BIN_DIR/Piravel.exe" "$RUN_DIR/"
SERVERS=()
trap 'for p in "${SERVERS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; probe kill Piravel.exe >/dev/null' EXIT

start_server() {  # extra arguments for the server; sets PORT
  local name="$1"; shift
  start_fixture_server "$name" http_fixture_server.py --lifetime 150 \
    --fixture "$E2E_REPO_ROOT/tests/fixtures/weather_answer.xml" \
    --weather "$E2E_REPO_ROOT/tests/fixtures/weather_service_answer.xml" \
    --log "$E2E_WORK_DIR/$name.log" "$@"
  SERVERS+=("$SERVER")
}

start_server answering
CORVALLE_SERVICE_BASE="http://127.0.0.1:$PORT" "$E2E_WINE" --timeout 120 "$RUN_DIR/weather_fetch_tests.exe"
check "the weather tip came through the player" test "$?" -eq 0
check "the query named the city" grep -qx "/sed_api_weather_info.php?app=firewall&code=101010100&xml" \
  "$E2E_WORK_DIR/answering.log"

start_server silent --silent-weather
CORVALLE_SERVICE_BASE="http://127.0.0.1:$PORT" WEATHER_SERVER_SILENT=1 \
  "$E2E_WINE" --timeout 120 "$RUN_DIR/weather_fetch_tests.exe"
check "a silent server is given up on" test "$?" -eq 0
echo "weather: all checks passed"
