# Searches, the list manager's wrapper and the recommendations in the host
# program through the stand-in kernel.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR" "$E2E_WORK_DIR/manager"
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_BIN_DIR/Tandrel.dll" "$RUN_DIR/"

LOG="$E2E_WORK_DIR/kernel.log"
CONFIG="$E2E_WORK_DIR/kernel.ini"
export BEXTEST_LOG="$(windows_path "$LOG")"
export BEXTEST_CONFIG="$(windows_path "$CONFIG")"
export BEXTEST_STORE="$(windows_path "$E2E_WORK_DIR/store.txt")"
MANAGER="$(windows_path "$E2E_WORK_DIR/manager")"
configure() {  # FIXTURE-FOLDER [CLASSES-LINES]
  printf '[fetch]\nfixtures=%s\n[environment]\ntail=tail=1\nmanagerFolder=%s\\\n[details]\nb301=7.26|Good|40\n[classes]\n%s\n' \
    "$(windows_path "$E2E_REPO_ROOT/tests/fixtures/bex/$1")" "$MANAGER" "${2:-}" >"$CONFIG"
}

configure search/ok
: >"$LOG"
out="$(host search 7 'abc#$@*12,34')"
echo "$out"
check "the search id" grep -qx 'search id=1' <<<"$out"
check "its events" test "$(grep '^ev ' <<<"$out" | tr '\n' ' ')" = \
  "ev code=2 hi=7 lp=0xFFFF0001 ev code=4 hi=7 lp=0xFFFF0001 ev code=3 hi=7 lp=0xFFFF0001 "
check "the address" grep -qx \
  'fetch http://api.soft.zubpellor.com/index.php?c=Search&a=getSoftList&cver=v1&kw=ABC&soft_ids=12,34&tail=1' "$LOG"
check "its ids" grep -qx 'ids 301,302' <<<"$out"
check "the search host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0

: >"$LOG"
out="$(host coop abc 20 20)"
echo "$out"
check "a partner search" grep -qx 'search id=1' <<<"$out"
check "its address" grep -qx \
  'fetch http://api.soft.zubpellor.com/index.php?c=Search&a=getSoftListByCoop&cver=v1&start=20&count=20&kw=ABC&tail=1' \
  "$LOG"
check "its total" grep -qx 'total 42' <<<"$out"
check "no scores asked" test "$(grep -c '^details.start' "$LOG")" -eq 0
out="$(host coop abc 0 0)"
check "count 0 asks nothing" grep -qx 'search id=0' <<<"$out"

: >"$LOG"
out="$(host wrap70)"
echo "$out"
check "the wrapper asks for its manager" test "$(grep -A3 -x -- '-3 303' "$LOG" | grep -c '^create 70 ')" -ge 1
check "a search through the wrapper" grep -qx 'keyword ABC total 42' <<<"$out"
configure search/ok "70=refuse"
out="$(host wrap70)"
echo "$out"
check "without a manager nothing is started" grep -qx 'start 0' <<<"$out"
check "and the keyword is empty" grep -qx 'keyword  total 0' <<<"$out"
check "the wrapper host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0

configure search/ok
cp "$E2E_REPO_ROOT/tests/fixtures/bex/recommend/SoftReCmdEx.dat" "$E2E_WORK_DIR/manager/"
echo old >"$E2E_WORK_DIR/manager/SoftReCmd.dat"
: >"$LOG"
out="$(host recommend 1 -)"
echo "$out"
check "a recommendation" grep -qx 'status 1 count 1' <<<"$out"
check "its record" grep -qx 'record pick=1 soft=2 desp=d2 class=C1_b2 alias=A1 zan=z2' <<<"$out"
check "its tags" grep -qx 'tags \[bx2\]' <<<"$out"
check "the old data file is gone" test ! -e "$E2E_WORK_DIR/manager/SoftReCmd.dat"
check "the recommended soft is saved" grep -q '^num.set 21 0 4 data=02000000' "$LOG"
out="$(host recommend 1 2)"
check "an excluded soft is not recommended" grep -qx 'status 0 count 1' <<<"$out"
out="$(host recommend 9 - list)"
check "owning nothing of the class gives an empty list" grep -qx 'status 0 count 1' <<<"$out"
check "the recommendation host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0
echo "search_host: all checks passed"
