# Piravel.exe against a server that compresses its answer: the download call
# saves the decoded body, which must count as the whole answer.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
FIXTURE="$E2E_REPO_ROOT/tests/fixtures/weather_answer.xml"

python3 "$E2E_REPO_ROOT/tests/player/gzip_fixture_server.py" --fixture "$FIXTURE" --lifetime 120 \
  >"$E2E_WORK_DIR/port" &
SERVER=$!
trap 'kill $SERVER 2>/dev/null; wait $SERVER 2>/dev/null' EXIT
for _ in $(seq 1 50); do [ -s "$E2E_WORK_DIR/port" ] && break; sleep 0.1; done
PORT="$(head -1 "$E2E_WORK_DIR/port")"
[ -n "$PORT" ] || fail "the fixture server did not start"

TEMP_WIN="$(probe folder temp)"
TEMP_DIR="$("$E2E_WINE" --timeout 60 winepath -u "$TEMP_WIN" 2>/dev/null | tr -d '\r')"
DATED="$TEMP_DIR/$(date +%Y%m%d).xml"
rm -f "$DATED"

"$E2E_WINE" --timeout 60 "$E2E_BIN_DIR/Piravel.exe" "http://127.0.0.1:$PORT/weather.xml" >/dev/null 2>&1
check "a gzip-encoded answer exits with 0" test "$?" -eq 0
check "the dated file holds the decoded answer" cmp -s "$FIXTURE" "$DATED"
echo "piravel gzip: all checks passed"
