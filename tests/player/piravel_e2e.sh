# Piravel.exe for real: downloads against a local server into the dated file
# of the temporary folder, and plays WAV files through the MCI device.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
FIXTURE="$E2E_REPO_ROOT/tests/fixtures/weather_answer.xml"
LOG="$E2E_WORK_DIR/requests.log"
piravel() { "$E2E_WINE" --timeout "${PIRAVEL_TIMEOUT:-60}" "$E2E_BIN_DIR/Piravel.exe" "$@" >/dev/null 2>&1; }

SERVER=
trap '[ -n "$SERVER" ] && { kill "$SERVER"; wait "$SERVER"; } 2>/dev/null' EXIT
start_fixture_server fixture http_fixture_server.py --fixture "$FIXTURE" --log "$LOG" --lifetime 200
FIXTURE_SERVER=$SERVER

TEMP_WIN="$(probe folder temp)"
TEMP_DIR="$("$E2E_WINE" --timeout 60 winepath -u "$TEMP_WIN" 2>/dev/null | tr -d '\r')"
DATED="$TEMP_DIR/$(date +%Y%m%d).xml"
rm -f "$DATED"
# What the temporary folder held before any download: afterwards, the dated
# file is the only thing a download may leave there.
ls -A "$TEMP_DIR" | sort >"$E2E_WORK_DIR/temp-before"
leftovers() { ls -A "$TEMP_DIR" | grep -vx "$(basename "$DATED")" | sort | comm -13 "$E2E_WORK_DIR/temp-before" -; }

piravel "http://127.0.0.1:$PORT/Weather.XML"
check "a good answer exits with 0" test "$?" -eq 0
check "the dated file holds the answer byte for byte" cmp -s "$FIXTURE" "$DATED"
check "the lower-cased URL was fetched" grep -qx /weather.xml "$LOG"

echo "stale" >"$DATED"
piravel "http://127.0.0.1:$PORT/weather.xml"
check "a second download on the same day overwrites the file" cmp -s "$FIXTURE" "$DATED"

piravel "http://127.0.0.1:$PORT/missing.xml"
rc=$?
check "a 404 exits with -1" test "$rc" -eq 255

piravel "http://127.0.0.1:$PORT/cut.xml"
rc=$?
check "an answer cut off mid-body exits with -1" test "$rc" -eq 255
check "failed downloads keep the answer saved earlier the same day" cmp -s "$FIXTURE" "$DATED"
check "failed downloads leave nothing of theirs behind" test -z "$(leftovers)"

PIRAVEL_TIMEOUT=15 piravel "http://127.0.0.1:$PORT/silent.xml"
rc=$?
check "a server that never answers is no success (exit $rc)" test "$rc" -ne 0
check "a download ended from outside leaves nothing behind: $(leftovers | tr '\n' ' ')" test -z "$(leftovers)"

# A compressing server: the download call saves the decoded body, which must
# count as the whole answer. The server ends by itself, or here.
start_fixture_server gzip gzip_fixture_server.py --fixture "$FIXTURE" --lifetime 60
GZIP_SERVER=$SERVER
SERVER=$FIXTURE_SERVER
rm -f "$DATED"
piravel "http://127.0.0.1:$PORT/weather.xml"
check "a gzip-encoded answer exits with 0" test "$?" -eq 0
check "the dated file holds the decoded answer" cmp -s "$FIXTURE" "$DATED"
kill $GZIP_SERVER 2>/dev/null; wait $GZIP_SERVER 2>/dev/null

SOUNDS="$E2E_WORK_DIR/Sounds"
mkdir -p "$SOUNDS"
python3 - "$SOUNDS/Ring.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i / 10.0))) for i in range(22050)))
PY
echo "this is not a sound" >"$SOUNDS/notes.wav"
SOUNDS_WIN="$("$E2E_WINE" --timeout 60 winepath -w "$SOUNDS" 2>/dev/null | tr -d '\r')"

# The first play in a new private HOME builds the media framework's plugin
# registry, which on a loaded machine can make that one play fail: play once,
# unchecked, before the checked plays.
piravel "$SOUNDS_WIN\\ring.wav" || true

# The test machine's sound output is ALSA's null device, which takes the
# samples as fast as they come: the play ends, but not in real time.
piravel "$SOUNDS_WIN\\RING.WAV"
rc=$?
check "a WAV (named in upper case, opened lower-cased) plays to its end with exit 0 (got $rc)" test "$rc" -eq 0

piravel "$SOUNDS_WIN\\missing.wav"
rc=$?
check "a missing sound file exits with -1 (got $rc)" test "$rc" -eq 255
piravel "$SOUNDS_WIN\\notes.wav"
rc=$?
check "a file that is not a sound exits with -1 (got $rc)" test "$rc" -eq 255
"$E2E_WINE" --timeout 60 "$E2E_BIN_DIR/Piravel.exe"
check "no command line exits with -1" test "$?" -eq 255
echo "piravel: all checks passed"
