# shellcheck shell=bash
# Sourced by scripts/wine, scripts/test and scripts/run: a private X server
# on a free display for machines with no display (CI, a fresh clone).
#
#   xvfb_start   starts Xvfb, exports DISPLAY, sets XVFB_PID
#   xvfb_stop    stops the server xvfb_start started (no-op otherwise)

XVFB_PID=""

xvfb_start() {
  local numfile i
  numfile="$(mktemp)"
  # -displayfd lets the server take the first free display number itself and
  # tell it once it accepts connections: no race with other servers.
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp \
    3>"$numfile" </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  for ((i = 0; i < 200; i++)); do
    if [ -s "$numfile" ] && grep -q . "$numfile"; then break; fi
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  if ! [ -s "$numfile" ]; then
    rm -f "$numfile"
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=":$(tr -dc '0-9' <"$numfile")"
  export DISPLAY
  rm -f "$numfile"
}

xvfb_stop() {
  [ -n "$XVFB_PID" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  local i
  for ((i = 0; i < 100; i++)); do
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  kill -9 "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}
