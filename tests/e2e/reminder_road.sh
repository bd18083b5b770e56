# The reminder road end to end: the greeting shows in the bubble when the
# mascot starts, the detect thread goes on polling after it, and a timed
# reminder of the user's then shows with its ring played by the player.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
private_prefix "$@"
install_corvalle
# The player is a recording stand-in here: it writes down what it was asked to play.
cp "$E2E_TEST_BIN_DIR/recording_program.exe" "$INSTALL_DIR/Piravel.exe"
returning_user_config
trap 'cleanup_install; rm -f "$CONFIG"' EXIT

# A daily reminder at the next whole minute: it falls due up to a minute
# after the start (perhaps while the greeting shows) and stays in its window
# for three minutes.
at="$(date -d '+1 minute' +%H:%M)"
ring_win="$INSTALL_DIR_WIN\\halvet.ui"
probe ini "$CONFIG_WIN" vyn TimerAlertCount 1
probe ini "$CONFIG_WIN" TimerAlert1 TimerAlertTime "$at"
probe ini "$CONFIG_WIN" TimerAlert1 TimerAlertRepeat 1
probe ini "$CONFIG_WIN" TimerAlert1 TimerAlertContent "站起来活动一下"
probe ini "$CONFIG_WIN" TimerAlert1 Ring "$ring_win"
probe ini "$CONFIG_WIN" TimerAlert1 State 1

# Corvalle must outlive the reminder's first minute and a poll or two: the
# wrapper's usual minute would end it just before a reminder due that late.
CORVALLE_TIMEOUT=240 start_corvalle
check "the mascot starts" probe find Corvalle 30000 >/dev/null
check "the greeting shows in the bubble" probe find CorvalleTipWnd 15000 >/dev/null
for _ in $(seq 1 60); do probe find CorvalleTipWnd 1 | grep -q visible=1 && break; sleep 0.5; done
check "the bubble is visible" sh -c "'$E2E_WINE' --timeout 30 '$E2E_TEST_BIN_DIR/winprobe.exe' find CorvalleTipWnd 1 | grep -q visible=1"
for _ in $(seq 1 60); do probe find CorvalleTipWnd 1 | grep -q visible=0 && break; sleep 0.5; done
check "the greeting ends by itself" sh -c "'$E2E_WINE' --timeout 30 '$E2E_TEST_BIN_DIR/winprobe.exe' find CorvalleTipWnd 1 | grep -q visible=0"
# Polling goes on: the user's reminder comes within its window and rings.
check "the timed reminder rings through the player" wait_for_line_long "$INSTALL_DIR/Piravel.exe.calls" "$(echo "$ring_win" | tr '[:upper:]' '[:lower:]')" 200
echo "reminder road: all checks passed"
