# Lumvex's miscellaneous job as a host reaches it: bexhost, the stand-in
# kernel and Lumvex.dll in a folder of their own, RUConfig.dat under the
# App Paths folder of the security product.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"

RUN_DIR="$E2E_WORK_DIR/run"
MANAGER="$E2E_WORK_DIR/manager"
mkdir -p "$RUN_DIR" "$MANAGER/Pellor"
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_BIN_DIR/Lumvex.dll" "$RUN_DIR/"
export BEXTEST_LOG="$(windows_path "$E2E_WORK_DIR/kernel.log")"
export BEXTEST_CONFIG="$(windows_path "$E2E_WORK_DIR/kernel.ini")"

saved="$("$E2E_WINE" --timeout 60 reg query "$APP_PATHS_KEY" /v Path 2>/dev/null | tr -d '\r' |
  awk '$1 == "Path" { print substr($0, index($0, $3)) }')"
restore() {
  if [ -n "$saved" ]; then
    "$E2E_WINE" --timeout 60 reg add "$APP_PATHS_KEY" /v Path /t REG_SZ /d "$saved" /f >/dev/null 2>&1
  else
    "$E2E_WINE" --timeout 60 reg delete "$APP_PATHS_KEY" /v Path /f >/dev/null 2>&1
  fi
}
trap restore EXIT
"$E2E_WINE" --timeout 60 reg add "$APP_PATHS_KEY" /v Path /t REG_SZ /d "$(windows_path "$MANAGER")" /f >/dev/null 2>&1 ||
  fail "App Paths not written"

config() {  # JSON text
  printf '%s' "$1" >"$E2E_WORK_DIR/ruconfig.json"
  "$E2E_WINE" --timeout 60 "$E2E_TEST_BIN_DIR/ruconfig_enc.exe" "$(windows_path "$E2E_WORK_DIR/ruconfig.json")" \
    "$(windows_path "$MANAGER/Pellor/RUConfig.dat")" || fail "fixture not made"
}
host() { "$E2E_WINE" --timeout 60 "$RUN_DIR/bexhost.exe" misc "$@" | tr -d '\r'; }

config '[{"involve":1,"adId":7,"rcmendUrl":"http://127.0.0.1/x"}]'
check "the file is the known cipher text" test "$(od -An -tx1 -N8 "$MANAGER/Pellor/RUConfig.dat" | tr -d ' ')" = ddc77a72e54dbe5b
out="$(host CHECK 1 -)"
rc=$?
echo "$out"
check "no failure and the kernel balanced" test "$rc" -eq 0
check "a condition holds" grep -qx 'result 1' <<<"$out"
check "its block" test "$(grep -E '^(Size|AdId|RecommendUrl) ' <<<"$out" | tr '\n' '|')" = \
  "Size 4128|AdId 7|RecommendUrl http://127.0.0.1/x|"
check "another mask: none" test "$(host CHECK 2 -)" = "result 0"

ids="$E2E_WORK_DIR/ids.bin"
printf '\x07\x00\x00\x00\xaa\xbb' >"$ids"
check "written" test "$(host WRITE "$(windows_path "$ids")" 9)" = "result 1"
check "whole entries and the new id" test "$(od -An -tx1 "$ids" | tr -d ' \n')" = 0700000009000000
check "a shown ad id blocks" test "$(host CHECK 1 "$(windows_path "$ids")")" = "result 0"
check "supported" test "$(host SUPPORTED WriteAdIdToFile)" = "result 1"
check "not supported" test "$(host SUPPORTED checkRecommendAndUpdateCondition)" = "result 0"
check "balanced, no unexpected slot" test "$(grep -c UNEXPECTED "$E2E_WORK_DIR/kernel.log")" = 0

table="$("$E2E_WINE" --timeout 60 "$RUN_DIR/bexhost.exe" table Lumvex.dll | tr -d '\r')"
check "the table, in order" test "$table" = "magic 0x62657870 reserved 0 0 0
row 88 CBexSetupUtil 0x00010001
row 89 CBexDaemon 0x00010001
row 90 CPinToStartMenu 0x00010001
row 91 CSetupJob 0x00010001
row 403 CMiscJob 0x00010001
end 5"

# No kernel anywhere: every factory refuses and leaves the caller's pointer.
save_app_paths
trap 'restore_app_paths; restore' EXIT
clear_app_paths
UNBOUND="$E2E_WORK_DIR/unbound/host"
mkdir -p "$UNBOUND"
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_BIN_DIR/Lumvex.dll" "$UNBOUND/"
unbound="$("$E2E_WINE" --timeout 60 "$UNBOUND/bexhost.exe" create all Lumvex.dll | tr -d '\r')"
rc=$?
echo "$unbound"
check "unbound host ends well" test "$rc" -eq 0
check "five factories refuse" test "$(grep -c '^create [0-9]* 0x8007000E out=untouched$' <<<"$unbound")" -eq 5
echo "lumvex_misc: all checks passed"
