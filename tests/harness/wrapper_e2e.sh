#!/usr/bin/env bash
# What end-to-end scripts count on: the variables add_e2e_test hands them,
# and a Wine wrapper that passes exit codes through and ends hung programs.
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

for var in E2E_REPO_ROOT E2E_BUILD_DIR E2E_BIN_DIR E2E_TEST_BIN_DIR E2E_WINE \
  E2E_WINEPREFIX E2E_WORK_DIR E2E_NAME DISPLAY; do
  [ -n "${!var:-}" ] || fail "$var is not set"
done
[ "$PWD" = "$E2E_WORK_DIR" ] || fail "started in $PWD, not $E2E_WORK_DIR"
[ -z "$(ls -A "$E2E_WORK_DIR")" ] || fail "the work folder is not empty"
[ -x "$E2E_WINE" ] || fail "no wrapper at $E2E_WINE"
[ -f "$E2E_WINEPREFIX/system.reg" ] || fail "no prefix at $E2E_WINEPREFIX"

sleeper="$E2E_TEST_BIN_DIR/harness_sleep.exe"
[ -f "$sleeper" ] || fail "no $sleeper"

rc=0
"$E2E_WINE" "$sleeper" 0 7 || rc=$?
[ $rc = 7 ] || fail "exit code 7 came back as $rc"

start=$SECONDS
rc=0
WINE_TIMEOUT=3 "$E2E_WINE" "$sleeper" 60 0 2>"$E2E_WORK_DIR/timeout.err" || rc=$?
[ $rc = 124 ] || fail "a hung program ended with $rc, not 124"
[ $((SECONDS - start)) -lt 30 ] || fail "the time-out took $((SECONDS - start)) s"
grep -q "time-out" "$E2E_WORK_DIR/timeout.err" || fail "the wrapper did not say why it stopped"

# Ctrl-C (SIGINT to the wrapper's process group, as a terminal sends it)
# ends the program, which runs in a process group of its own, not only the
# wrapper. Another test run on the machine may run the same sleeper at the
# same time: the program watched is the one in the session opened here for
# the wrapper (not the wrapper or its time-out, whose command lines name it
# too), followed by its process id.
env --default-signal=INT setsid "$E2E_WINE" "$sleeper" 61 0 >/dev/null 2>&1 &
wrapper=$!
program=""
for ((i = 0; i < 300; i++)); do
  program="$(pgrep -s "$wrapper" -f '^[^ ]*harness_sleep\.exe 61 0$')" && break
  sleep 0.1
done
[ -n "$program" ] || fail "the program to interrupt did not start"
running() { tr '\0' ' ' <"/proc/$program/cmdline" 2>/dev/null | grep -q 'harness_sleep\.exe 61 0'; }
start=$SECONDS
kill -INT -- "-$(ps -o pgid= -p "$wrapper" | tr -d ' ')"
rc=0
wait "$wrapper" || rc=$?
[ $rc = 130 ] || fail "an interrupted wrapper ended with $rc, not 130"
for ((i = 0; i < 100; i++)); do running || break; sleep 0.1; done
! running || fail "the program outlived the interrupt"
[ $((SECONDS - start)) -lt 15 ] || fail "the interrupt took $((SECONDS - start)) s"

# Wine's own tools run through it too, and crash dialogs are off for good.
"$E2E_WINE" reg query 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
  >"$E2E_WORK_DIR/reg.out" || fail "reg query failed"
grep -qi "0x0" "$E2E_WORK_DIR/reg.out" || fail "crash dialog not turned off: $(cat "$E2E_WORK_DIR/reg.out")"

echo "wrapper checks passed"
