# What a script that calls private_prefix counts on: a cloned prefix in its
# work folder with a server of its own, its own display, nothing written there
# reaching the shared prefix, the script's exit code passed on, and the clone
# gone afterwards.
. "$E2E_REPO_ROOT/tests/e2e/lib.sh"
SHARED_PREFIX="$E2E_WINEPREFIX"

if [ "${1:-}" != inner ]; then
  export OUTER_DISPLAY="$DISPLAY" SHARED_PREFIX
  # The inner run ends with 3 on purpose: that code must come back.
  rc=0
  ( private_prefix inner ) || rc=$?
  check "the script's exit code comes back" test "$rc" = 3
  check "the clone is removed afterwards" test ! -e "$E2E_WORK_DIR/prefix"
  check "the shared prefix never saw the inner value" \
    bash -c '! "$0" --timeout 60 reg query "HKCU\Software\PrivatePrefixCheck" /v inner >/dev/null 2>&1' "$E2E_WINE"
  echo "private prefix: all checks passed"
  exit 0
fi

private_prefix "$@"
check "the prefix lies in the work folder" test "$E2E_WINEPREFIX" = "$E2E_WORK_DIR/prefix"
check "the wrapper uses it" test "$("$E2E_WINE" --print-prefix)" = "$E2E_WORK_DIR/prefix"
check "it is a ready prefix" test -f "$E2E_WINEPREFIX/.harness-ready"
check "a display of its own" test -n "$DISPLAY" -a "$DISPLAY" != "$OUTER_DISPLAY"
check "a value is written inside" "$E2E_WINE" --timeout 60 reg add 'HKCU\Software\PrivatePrefixCheck' /v inner /d 1 /f
check "and read back inside" "$E2E_WINE" --timeout 60 reg query 'HKCU\Software\PrivatePrefixCheck' /v inner
appdata="$(probe folder appdata)"
unix="$("$E2E_WINE" --timeout 60 winepath -u "$appdata" 2>/dev/null | tr -d '\r')"
check "the user's data folder is the clone's" test "${unix#"$E2E_WINEPREFIX"/}" != "$unix"
exit 3
