# Tandrel.dll as the kernel sees it: one export, `plugins` at ordinal 1,
# only system libraries imported; the table through the host program; every
# class made through the stand-in kernel.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
DLL="$E2E_BIN_DIR/Tandrel.dll"

dump="$("$E2E_OBJDUMP" -p "$DLL")"
exports="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -oP '^\s+\[\s*\d+\] \K.*')"
check "the only export is plugins" test "$exports" = "plugins"
check "one export address" grep -qP 'Export Address Table\s+00000001' <<<"$dump"
check "ordinal 1" grep -qP '^\s*\[\s*0\] \+base\[\s*1\]' <<<"$dump"
imports="$(grep -oP 'DLL Name: \K.*' <<<"$dump" | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')"
for lib in $imports; do
  case "$lib" in
    kernel32.dll|user32.dll|advapi32.dll|shlwapi.dll|shell32.dll|ole32.dll|oleaut32.dll|urlmon.dll|msvcrt.dll|gdi32.dll) ;;
    *) fail "Tandrel.dll imports $lib" ;;
  esac
done
echo "ok: imports: $imports"

RUN_DIR="$E2E_WORK_DIR/run"
mkdir -p "$RUN_DIR"
cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_TEST_BIN_DIR/bexkernl.dll" "$DLL" "$RUN_DIR/"
export BEXTEST_LOG="$(windows_path "$E2E_WORK_DIR/kernel.log")"

table="$("$E2E_WINE" --timeout 60 "$RUN_DIR/bexhost.exe" table Tandrel.dll | tr -d '\r')"
check "the host read the table" test "$?" -eq 0
expected="magic 0x62657870 reserved 0 0 0
row 68 CSoftListData 0x00000000
row 69 CSoftCatalogData 0x00000000
row 70 CSoftListMgr 0x00030000
row 303 CSoftListMgr2 0x00030000
row 302 CSoftReCmdData 0x00000000
row 301 CSoftReCommend 0x00030000
row 147 CSoftReCommend2 0x00030000
row 148 CSoftReCommend3 0x00030000
row 108 CSoftInfoData 0x00000000
row 109 CSoftInfo 0x00030000
end 10"
check "the table, in order" test "$table" = "$expected"

created="$("$E2E_WINE" --timeout 60 "$RUN_DIR/bexhost.exe" create all Tandrel.dll | tr -d '\r')"
rc=$?
echo "$created"
check "every class made, balanced" test "$rc" -eq 0
check "ten classes made" test "$(grep -c '^create [0-9]* 0x00000000 class=' <<<"$created")" -eq 10
echo "tandrel_table: all checks passed"
