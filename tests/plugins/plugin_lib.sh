# Shared steps of the plug-in scripts.

# A Linux path as Wine's Z: drive shows it.
windows_path() { local p="$1"; printf 'Z:%s' "${p//\//\\}"; }

# The App Paths value of the security product: saved once, restored at exit.
APP_PATHS_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\tarvisk.exe'
save_app_paths() {
  APP_PATHS_SAVED="$("$E2E_WINE" --timeout 60 reg query "$APP_PATHS_KEY" /ve 2>/dev/null | tr -d '\r' |
    awk '$1 == "(Default)" || $1 == "(默认)" { print $2 "\t" substr($0, index($0, $2) + length($2) + 4) }')"
}
set_app_paths() {  # TYPE VALUE
  "$E2E_WINE" --timeout 60 reg add "$APP_PATHS_KEY" /ve /t "$1" /d "$2" /f >/dev/null 2>&1
}
clear_app_paths() { "$E2E_WINE" --timeout 60 reg delete "$APP_PATHS_KEY" /ve /f >/dev/null 2>&1 || true; }
restore_app_paths() {
  if [ -n "${APP_PATHS_SAVED:-}" ]; then
    set_app_paths "${APP_PATHS_SAVED%%$'\t'*}" "${APP_PATHS_SAVED#*$'\t'}"
  else
    clear_app_paths
  fi
}
