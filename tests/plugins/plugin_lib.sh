# Shared steps of the plug-in scripts.

# A Linux path as Wine's Z: drive shows it.
windows_path() { local p="$1"; printf 'Z:%s' "${p//\//\\}"; }

# The security product's App Paths key: exported once, put back at exit.
APP_PATHS_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tarvisk.exe'
save_app_paths() {
  APP_PATHS_SAVED="$E2E_WORK_DIR/app_paths.reg"
  rm -f "$APP_PATHS_SAVED"
  "$E2E_WINE" --timeout 60 reg export "$APP_PATHS_KEY" "$(windows_path "$APP_PATHS_SAVED")" /y >/dev/null 2>&1 ||
    rm -f "$APP_PATHS_SAVED"
}
set_app_paths() {  # TYPE VALUE
  "$E2E_WINE" --timeout 60 reg add "$APP_PATHS_KEY" /ve /t "$1" /d "$2" /f >/dev/null 2>&1
}
clear_app_paths() { "$E2E_WINE" --timeout 60 reg delete "$APP_PATHS_KEY" /ve /f >/dev/null 2>&1 || true; }
restore_app_paths() {
  "$E2E_WINE" --timeout 60 reg delete "$APP_PATHS_KEY" /f >/dev/null 2>&1 || true
  if [ -s "${APP_PATHS_SAVED:-}" ]; then
    "$E2E_WINE" --timeout 60 reg import "$(windows_path "$APP_PATHS_SAVED")" >/dev/null 2>&1
  fi
}

# The host program with the stand-in kernel and Tandrel in a folder of their
# own (RUN_DIR), the stand-in's log (LOG), set-up (CONFIG) and value store in
# the work folder, and a local server (SERVER, when a script starts one)
# ended with the script.
tandrel_host_setup() {
  RUN_DIR="$E2E_WORK_DIR/run"
  mkdir -p "$RUN_DIR"
  cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_BIN_DIR/Tandrel.dll" "$RUN_DIR/"
  SERVER=
  trap '[ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null; wait 2>/dev/null' EXIT
  LOG="$E2E_WORK_DIR/kernel.log"
  CONFIG="$E2E_WORK_DIR/kernel.ini"
  export BEXTEST_LOG="$(windows_path "$LOG")"
  export BEXTEST_CONFIG="$(windows_path "$CONFIG")"
  export BEXTEST_STORE="$(windows_path "$E2E_WORK_DIR/store.txt")"
}
host() { "$E2E_WINE" --timeout 60 "$RUN_DIR/bexhost.exe" "$@" | tr -d '\r'; }
