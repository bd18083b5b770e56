# The software information manager in the host program: a query through
# the stand-in's fetch, the cache kept in the value store by one process and
# found by the next, and the same query against a local server (answers in
# code page 936, a cut answer).
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
tandrel_host_setup
configure() {  # FETCH-SECTION-LINES
  printf '[fetch]\n%s\n[environment]\ntail=tail=1\n[details]\nb101=8.57|Plays everything|short\nb102=12|Views pictures|pics\n' \
    "$1" >"$CONFIG"
}
section() { sed -n "/^info $1\$/,/^slot 32 /p"; }  # one id's getters

configure "fixtures=$(windows_path "$E2E_REPO_ROOT/tests/fixtures/bex")\\update"
out="$(host info 101,102 stop)"
echo "$out"
check "the first run completes with 1" grep -qx 'status 1' <<<"$out"
check "the name reads back" grep -qx 'slot 7 Alpha Player' <<<"$out"
check "the rating is in tenths" grep -qx 'slot 15 85' <<<"$out"
check "a rating above 100 reads as 0" grep -qx 'slot 15 0' <<<"$(section 102 <<<"$out")"
check "shell marks" test "$(section 101 <<<"$out" | grep -cE '^slot 3[12] 1$')" -eq 2
check "one request for both ids" test "$(grep -c 'soft_ids=101,102,&lrtime=0&tail=1$' "$LOG")" -eq 1
check "the cache is stored at Stop" grep -qx 'store.set 16 "data" size=43208 extra=0x20001 large=1' "$LOG"
check "the host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0

# A second process, with every fetch failing, answers from the stored cache.
configure "mode=nostart"
: >"$LOG"
out="$(host info 101)"
echo "$out"
check "the second run completes with 1" grep -qx 'status 1' <<<"$out"
check "the stored name" grep -qx 'slot 7 Alpha Player' <<<"$out"
check "the stored details" grep -qx 'slot 17 Plays everything' <<<"$out"
check "the store was read" grep -q '^store.get 16 "data" size=43208 extra=0x20001' "$LOG"
check "the second host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0

start_server() {  # BEHAVIOURS
  printf '/get_update_info.php 200 %s update/get_update_info.php\n' "$1" >"$E2E_WORK_DIR/routes.txt"
  start_fixture_server fixture http_fixture_server.py --lifetime 120 --routes "$E2E_WORK_DIR/routes.txt" \
    --fixture-dir "$E2E_REPO_ROOT/tests/fixtures/bex" --log "$E2E_WORK_DIR/server.log"
  export CORVALLE_SERVICE_BASE="http://127.0.0.1:$PORT"
}
stop_server() { kill "$SERVER" 2>/dev/null; wait "$SERVER" 2>/dev/null; SERVER=; }

# Through WinINet: the Chinese name arrives in code page 936; a cut answer
# fails the query and makes no record.
configure ""
for behaviour in plain cut; do
  rm -f "$E2E_WORK_DIR/store.txt"
  start_server "$behaviour"
  if [ "$behaviour" = plain ]; then
    out="$(BEXTEST_HTTP=1 host info 102)"
    echo "$out"
    check "through WinINet: completed with 1" grep -qx 'status 1' <<<"$out"
    check "a Chinese name sent in code page 936 reads back" grep -qx 'slot 7 图片查看器' <<<"$out"
  else
    out="$(BEXTEST_HTTP=1 host info 101)"
    echo "$out"
    check "a cut answer gives status 2" grep -qx 'status 2' <<<"$out"
    check "and no record" grep -qx 'info 101 none' <<<"$out"
  fi
  stop_server
done
echo "soft_info_host: all checks passed"
