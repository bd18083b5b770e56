# Shared steps of the settings program's end-to-end scripts: Mirelo in an
# install folder of its own, Corvalle.ini moved aside for the run, the
# stand-in for Corvalle's window, and a clean end whatever happened.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"

sprobe() { "$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/settings_probe.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# True once the foreground window is EXPECTED ("class|title"); a loaded
# machine may take a moment to hand the front over.
foreground_is() {
  local i
  for i in $(seq 1 25); do
    [ "$(sprobe foreground)" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

install_mirelo() {
  MIRELO_DIR="$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME/Tarvisk/Corvalle"
  rm -rf "$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME"
  mkdir -p "$MIRELO_DIR"
  cp "$E2E_BIN_DIR/Mirelo.exe" "$MIRELO_DIR/"
  APPDATA_WIN="$(probe folder appdata)"
  CONFIG_WIN="$APPDATA_WIN\\tarvisk\\Corvalle.ini"
  CONFIG="$("$E2E_WINE" --timeout 60 winepath -u "$CONFIG_WIN" 2>/dev/null | tr -d '\r')"
  mkdir -p "$(dirname "$CONFIG")"
  rm -rf "$CONFIG.e2esave"
  [ -e "$CONFIG" ] && mv "$CONFIG" "$CONFIG.e2esave"
  STANDIN_PIDS=()
  MIRELO_PIDS=()
}

mirelo() { "$E2E_WINE" --timeout "${MIRELO_TIMEOUT:-30}" "$MIRELO_DIR/Mirelo.exe" "$@"; }

# Starts Mirelo in the background; its exit code and end time land in
# $E2E_WORK_DIR/<tag>.rc and <tag>.end.
start_mirelo() {
  local tag="$1"
  shift
  rm -f "$E2E_WORK_DIR/$tag.rc" "$E2E_WORK_DIR/$tag.end"
  ( mirelo "$@" >/dev/null 2>&1; echo $? >"$E2E_WORK_DIR/$tag.rc"; now_ms >"$E2E_WORK_DIR/$tag.end" ) &
  MIRELO_PIDS+=($!)
}

# Waits (at most $2 seconds) for a background Mirelo to end; prints its exit code.
mirelo_rc() {
  local tag="$1" limit="${2:-10}" i
  for ((i = 0; i < limit * 20; i++)); do
    [ -s "$E2E_WORK_DIR/$tag.end" ] && { cat "$E2E_WORK_DIR/$tag.rc"; return 0; }
    sleep 0.05
  done
  echo running
  return 1
}

# The stand-in for Corvalle's window: logs each message with a copy of
# Corvalle.ini taken when it arrived.
start_standin() {
  local lifetime="${1:-0}"
  STANDIN_LOG="$E2E_WORK_DIR/standin.log"
  STANDIN_COPIES="$E2E_WORK_DIR/copies"
  "$E2E_WINE" --timeout 120 "$E2E_TEST_BIN_DIR/corvalle_standin.exe" "Z:$(echo "$STANDIN_LOG" | tr / '\\')" \
    "Z:$(echo "$STANDIN_COPIES" | tr / '\\')" "$lifetime" >/dev/null 2>&1 &
  STANDIN_PIDS+=($!)
  probe find Corvalle 30000 >/dev/null || fail "the stand-in shows no window"
}

stop_standins() {
  probe post Corvalle 16 >/dev/null 2>&1  # WM_CLOSE
  local p
  for p in "${STANDIN_PIDS[@]}"; do wait "$p" 2>/dev/null; done
  STANDIN_PIDS=()
}

cleanup_mirelo() {
  probe kill Mirelo.exe >/dev/null 2>&1
  probe kill corvalle_standin.exe >/dev/null 2>&1
  probe kill msgbox_watcher.exe >/dev/null 2>&1
  local p
  for p in "${MIRELO_PIDS[@]}" "${STANDIN_PIDS[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$CONFIG"
  [ -e "$CONFIG.e2esave" ] && mv "$CONFIG.e2esave" "$CONFIG"
  rm -rf "$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME"
}

ini_value() { sprobe ini "$CONFIG_WIN" "$1" "$2"; }
