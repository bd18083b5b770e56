# Shared steps of the end-to-end scripts: an install folder of Corvalle inside
# the test prefix, the probe, and a clean end whatever happened.
set -uo pipefail

# Runs the calling script in a Wine prefix of its own, cloned from the clean
# copy scripts/test takes (a fresh prefix when there is none), with its own
# wineserver and its own X server: what the real programs do to the user's
# data, the registry, c:\, the window list, the focus and the pointer stays
# inside, so the script takes no lock and runs beside everything else. Call
# it first, with the script's arguments: the script runs again inside, and
# this call ends the outer one with its exit code.
private_prefix() {
  [ -n "${E2E_PRIVATE_PREFIX:-}" ] && return 0
  # shellcheck source=scripts/lib/prefix.sh
  . "$E2E_REPO_ROOT/scripts/lib/prefix.sh"
  # shellcheck source=scripts/lib/xvfb.sh
  . "$E2E_REPO_ROOT/scripts/lib/xvfb.sh"
  local prefix="$E2E_WORK_DIR/prefix" log="$E2E_WORK_DIR/prefix.log" rc=0
  export HARNESS_WINEPREFIX="$prefix" E2E_WINEPREFIX="$prefix" E2E_PRIVATE_PREFIX=1
  xvfb_start || fail "no display of its own"
  if ! prefix_clone "$E2E_BUILD_DIR/wineprefix-template" "$prefix" 2>"$log"; then
    rm -rf "$prefix"
    "$E2E_WINE" --init >>"$log" 2>&1 || rc=1
  fi
  # Volatile keys live as long as the wineserver: keep one up, as a running
  # system would.
  [ $rc = 0 ] && { "$E2E_WINE" --server-start >>"$log" 2>&1 || rc=1; }
  if [ $rc = 0 ]; then
    bash "${BASH_SOURCE[-1]}" "$@" || rc=$?
  else
    echo "FAIL: no prefix of its own could be made:" >&2
    tail -n 20 "$log" >&2
  fi
  "$E2E_WINE" --server-stop >/dev/null 2>&1
  xvfb_stop
  rm -rf "$prefix"
  exit $rc
}

probe() { "$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/winprobe.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
# Starts a local fixture server of tests/player in the background and waits
# for the port it prints; sets SERVER (its process) and PORT.
start_fixture_server() {  # NAME SCRIPT ARGUMENTS...
  local name="$1" script="$2" i
  shift 2
  : >"$E2E_WORK_DIR/$name.port"
  python3 "$E2E_REPO_ROOT/tests/player/$script" "$@" >"$E2E_WORK_DIR/$name.port" &
  SERVER=$!
  for i in $(seq 1 50); do [ -s "$E2E_WORK_DIR/$name.port" ] && break; sleep 0.1; done
  PORT="$(head -1 "$E2E_WORK_DIR/$name.port")"
  [ -n "$PORT" ] || fail "the $name server did not start"
}
check() { local what="$1"; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }

# Corvalle's folder lies one level below where the security product would
# stand, as on a real installation.
install_corvalle() {
  INSTALL_DIR="$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME/Tarvisk/Corvalle"
  INSTALL_DIR_WIN="C:\\e2e\\$E2E_NAME\\Tarvisk\\Corvalle"
  rm -rf "$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME"
  mkdir -p "$INSTALL_DIR"
  cp "$E2E_BIN_DIR/Corvalle.exe" "$E2E_BIN_DIR/halvet.ui" "$INSTALL_DIR/"
  # The settings program is a recording stand-in here.
  cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$INSTALL_DIR/Mirelo.exe"
}

corvalle() { "$E2E_WINE" --timeout "${CORVALLE_TIMEOUT:-60}" "$INSTALL_DIR/Corvalle.exe" "$@"; }

# Starts Corvalle in the background and waits for its window.
start_corvalle() {
  corvalle "$@" >/dev/null 2>&1 &
  CORVALLE_PID=$!
}

end_corvalle() {
  probe kill Corvalle.exe >/dev/null 2>&1
  [ -n "${CORVALLE_PID:-}" ] && wait "$CORVALLE_PID" 2>/dev/null
  CORVALLE_PID=
  # The wineserver takes a killed program's windows away on its own time; the
  # next start must not find the old mascot still standing.
  probe gone Corvalle 10000 >/dev/null 2>&1 || true
}

cleanup_install() {
  end_corvalle
  rm -rf "$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME"
}

reg_value() { "$E2E_WINE" --timeout 60 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'; }
reg_has() { "$E2E_WINE" --timeout 60 reg query "$1" /v "$2" >/dev/null 2>&1; }

# The shell starts programs without waiting for them: give a stand-in time to
# write its call.
wait_for_line() {
  local file="$1" line="$2" i
  for i in $(seq 1 100); do
    tr -d '\r' 2>/dev/null <"$file" | grep -qFx -- "$line" && return 0
    sleep 0.1
  done
  return 1
}

# As wait_for_line with a limit in half seconds; the line is compared without
# regard to case (Windows paths).
wait_for_line_long() {
  local file="$1" line="$2" limit="$3" i
  for i in $(seq 1 "$limit"); do
    tr -d '\r' 2>/dev/null <"$file" | grep -qiFx -- "$line" && return 0
    sleep 0.5
  done
  return 1
}

# Corvalle.ini of a user who has run the mascot before: no first-run chooser
# or tip, no settings-program start-up step. Sets CONFIG (Linux path) and
# CONFIG_WIN.
returning_user_config() {
  CONFIG_WIN="$(probe folder appdata)\\tarvisk\\Corvalle.ini"
  CONFIG="$("$E2E_WINE" --timeout 60 winepath -u "$CONFIG_WIN" 2>/dev/null | tr -d '\r')"
  mkdir -p "$(dirname "$CONFIG")"
  rm -f "$CONFIG"
  probe ini "$CONFIG_WIN" vyn firstruntip false
  probe ini "$CONFIG_WIN" vyn compatible true
}

# A window exists before it is set up: true once one of CLASS is visible.
window_shown() {
  local i
  for i in $(seq 1 150); do
    probe find "$1" 1000 | grep -q 'visible=1' && return 0
    sleep 0.2
  done
  return 1
}
