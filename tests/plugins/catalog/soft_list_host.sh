# The software list manager in the host program: a catalogue and a list
# page through the stand-in's fetch, the cache kept in the value store by
# one process and read by the next, and a catalogue with one of its list
# pages from a local server (answers in code page 936).
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
tandrel_host_setup
configure() {  # FETCH-SECTION-LINES
  printf '[fetch]\n%s\n[environment]\ntail=tail=1\n[details]\nb101=8.26|Good|40\n' "$1" >"$CONFIG"
}
FIXTURES="$(windows_path "$E2E_REPO_ROOT/tests/fixtures/bex/catalog")"

configure "fixtures=$FIXTURES"
out="$(host catalog 0)"
echo "$out"
check "the catalogue's event" grep -qx 'ev code=0 hi=0 lp=0x00000000' <<<"$out"
check "its entries" grep -qx 'entry 0 name=Tools total=101 pages=3 browser=0 cid=7' <<<"$out"
check "the catalogue host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0

: >"$LOG"
out="$(host list 0 tools 2)"
echo "$out"
check "the list's events in order" test "$(grep '^ev code=[1-7] ' <<<"$out" | cut -d' ' -f2 | tr '\n' ' ')" = \
  "code=2 code=1 code=3 code=1 code=7 code=3 "
check "its ids" grep -qx 'ids 101,102' <<<"$out"
check "its title" grep -qx 'title 常用工具' <<<"$out"
check "the page asked" grep -qx 'fetch http://127.0.0.1/list/1?start=50&tail=1' "$LOG"
check "the records are stored at Stop" grep -q '^store.set 6 "0-Tools" size=41616 extra=0x20001 large=1' "$LOG"

# A second process, with every fetch failing, answers from the store.
configure "mode=nostart"
: >"$LOG"
out="$(host item 0 0 101)"
echo "$out"
check "the stored record" grep -qx 'slot 6 Alpha Player' <<<"$out"
check "its stored score" grep -qx 'slot 13 8.3分' <<<"$out"
check "download addresses are not kept" grep -qx 'slot 4 ' <<<"$out"
check "the software query is told" grep -q '^soft99.31 101 vname=Alpha 2 durls= ' "$LOG"
check "nothing was fetched" test "$(grep -c '^fetch ' "$LOG")" -eq 0
check "the item host saw no failure" test "$(grep -c '^FAIL' <<<"$out")" -eq 0

# Through WinINet: the catalogue's list address points back at the server.
rm -f "$E2E_WORK_DIR/store.txt"
configure ""
printf '/static/ess/class_6_0.xml 200 plain catalog/server/class_6_0.xml\n/list/1 200 plain catalog/list/1\n' \
  >"$E2E_WORK_DIR/routes.txt"
start_fixture_server fixture http_fixture_server.py --lifetime 120 --routes "$E2E_WORK_DIR/routes.txt" \
  --fixture-dir "$E2E_REPO_ROOT/tests/fixtures/bex" --log "$E2E_WORK_DIR/server.log" \
  --request-log "$E2E_WORK_DIR/requests.log"
out="$(CORVALLE_SERVICE_BASE="http://127.0.0.1:$PORT" BEXTEST_HTTP=1 host list 0 Tools 1)"
echo "$out"
check "through WinINet: the ids" grep -qx 'ids 101,102' <<<"$out"
check "a Chinese title sent in code page 936 reads back" grep -qx 'title 常用工具' <<<"$out"
check "the list page was asked of the server" grep -q 'GET /list/1?start=0&tail=1 ' "$E2E_WORK_DIR/requests.log"
echo "soft_list_host: all checks passed"
