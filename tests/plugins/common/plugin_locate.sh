# Where a plug-in finds its kernel: beside the executable, one folder up,
# through the security product's App Paths value (expanded), then Pellor one
# folder up and Pellor beside. With none of them the plug-in stays unbound:
# every factory fails and leaves its out pointer alone.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
. "$E2E_REPO_ROOT/tests/plugins/plugin_lib.sh"
save_app_paths
trap restore_app_paths EXIT
clear_app_paths

# layout CASE FOLDER...: the host and Tandrel.dll in CASE/app, a kernel in
# each FOLDER (relative to CASE).
layout() {
  local dir="$E2E_WORK_DIR/$1"; shift
  mkdir -p "$dir/app"
  cp "$E2E_TEST_BIN_DIR/bexhost.exe" "$E2E_BIN_DIR/Tandrel.dll" "$dir/app/"
  for kernel in "$@"; do
    mkdir -p "$dir/$kernel"
    cp "$E2E_TEST_BIN_DIR/bexkernl.dll" "$dir/$kernel/"
  done
}
host() { "$E2E_WINE" --timeout 60 "$E2E_WORK_DIR/$1/app/bexhost.exe" "${@:2}" | tr -d '\r'; }
expect_kernel() {  # CASE FOLDER: the kernel the plug-in bound
  local got want
  got="$(host "$1" locate Tandrel.dll)"
  want="kernel $(windows_path "$(realpath -m "$E2E_WORK_DIR/$1/$2/bexkernl.dll")")"
  [ "${got,,}" = "${want,,}" ] || echo "got: $got"
  check "$1: bound $2" test "${got,,}" = "${want,,}"
}

layout beside app app/Pellor
expect_kernel beside app
layout above . Pellor
expect_kernel above .
layout pellor_above Pellor app/Pellor
expect_kernel pellor_above Pellor
layout pellor_beside app/Pellor
expect_kernel pellor_beside app/Pellor

layout registered Pellor
mkdir -p "$E2E_WORK_DIR/root/sec/Pellor"
cp "$E2E_TEST_BIN_DIR/bexkernl.dll" "$E2E_WORK_DIR/root/sec/Pellor/"
set_app_paths REG_EXPAND_SZ '%BEXROOT%\sec\tarvisk.exe'
got="$(BEXROOT="$(windows_path "$E2E_WORK_DIR/root")" host registered locate Tandrel.dll)"
want="kernel $(windows_path "$E2E_WORK_DIR/root")\\sec\\Pellor\\bexkernl.dll"
check "registered: the App Paths folder, expanded" test "${got,,}" = "${want,,}"
clear_app_paths

layout unbound
created="$(host unbound create all Tandrel.dll)"
rc=$?
echo "$created"
check "unbound: the host ran clean" test "$rc" -eq 0
check "unbound: every factory is out of memory, out untouched" \
  test "$(grep -c '^create [0-9]* 0x8007000E out=untouched$' <<<"$created")" -eq 10
check "unbound: no completion object" test "$(host unbound async)" = "async null"
echo "plugin_locate: all checks passed"
