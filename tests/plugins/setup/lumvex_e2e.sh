# Lumvex.dll as shipped (its exports and imports) and its logger as host
# programs meet it: settings per program, debugger output, two processes
# writing one file.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"

dll="$E2E_BIN_DIR/Lumvex.dll"
dump="$("$E2E_OBJDUMP" -p "$dll")"
exports="$(awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^\t\[/ { print $NF; next } on { exit }' <<<"$dump")"
check "one export, plugins" test "$exports" = "plugins"
check "at ordinal 1" grep -Eq '^[[:space:]]+\[ *0\] \+base\[ *1\] [0-9a-f]+ Export RVA' <<<"$dump"
imports="$(awk '/DLL Name:/ { print tolower($3) }' <<<"$dump" | sort | tr '\n' ' ')"
for name in $imports; do
  case "$name" in
    kernel32.dll|user32.dll|gdi32.dll|msimg32.dll|advapi32.dll|shell32.dll|shlwapi.dll) ;;
    version.dll|ole32.dll|oleaut32.dll|msvcrt.dll) ;;
    *) fail "imports $name" ;;
  esac
done
echo "ok: only system DLLs imported ($imports)"

# A host program of its own name, so its log file is its own.
host_dir="$E2E_WINEPREFIX/drive_c/e2e/$E2E_NAME"
rm -rf "$host_dir"; mkdir -p "$host_dir"
trap 'rm -rf "$host_dir"' EXIT
host="xlog_$E2E_NAME.exe"
cp "$E2E_TEST_BIN_DIR/xlog_writer.exe" "$host_dir/$host"
# Wine names folders without regard to case: the logger's "Tarvisk" is the
# companion's "tarvisk" when that one was made first.
log_path() {
  local p comp found
  p="$(ls -d "$E2E_WINEPREFIX"/drive_c/users/*/AppData/Roaming | head -1)"
  for comp in Tarvisk ZubPellor Logs; do
    found="$(find "$p" -mindepth 1 -maxdepth 1 -iname "$comp" 2>/dev/null | head -1)"
    p="${found:-$p/$comp}"
  done
  echo "$p/$host.log"
}
log="$(log_path)"
rm -f "$log"
run() { "$E2E_WINE" --timeout 60 "$host_dir/$host" "$@"; }
text() { log="$(log_path)"; iconv -f UTF-16LE -t UTF-8 "$log" | tr -d '\r'; }

run 1 RUC
check "no settings: no log file" test ! -e "$log"

printf '[%s]\r\nlog=3\r\nfilter=RUC\r\n' "$host" >"$host_dir/xLogConfig.ini"
# Wine 8 shows debugger output on its "seh" channel.
err="$(HARNESS_WINEDEBUG=warn+seh run 2 RUC OTHER 2>&1 >/dev/null)"
check "filtered lines in the file" test "$(text)" = "$(printf '[RUC] line 0000 from RUC\n[RUC] line 0001 from RUC')"
check "and on the debugger" grep -q 'line 0001 from RUC' <<<"$err"
check "other tags dropped" test "$(grep -c OTHER <<<"$err")" = 0

printf '[%s]\r\nlog=2\r\n' "$host" >"$host_dir/xLogConfig.ini"
rm -f "$log"
run 1000 A & first=$!
run 1000 B & second=$!
wait "$first" && wait "$second" || fail "a writer failed"
whole="$(text | grep -Ec '^\[(A|B)\] line [0-9]{4} from (A|B)$')"
check "two processes leave 2000 whole lines ($whole)" test "$whole" = 2000 -a "$(text | wc -l)" = 2000
