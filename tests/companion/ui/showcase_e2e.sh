#!/usr/bin/env bash
# The showcase tool opens its host window and saves a screenshot of it; the
# picture must exist, be a PNG and not be a flat colour.
set -euo pipefail
out="$E2E_WORK_DIR/toolkit_showcase.png"
win_out="Z:$(echo "$out" | tr / '\\')"
"$E2E_WINE" "$E2E_TEST_BIN_DIR/toolkit_showcase.exe" "$win_out" 600
[ -s "$out" ] || { echo "no screenshot written"; exit 1; }
head -c 8 "$out" | od -An -tx1 | grep -q '89 50 4e 47' || { echo "not a PNG"; exit 1; }
size=$(stat -c %s "$out")
[ "$size" -gt 8000 ] || { echo "screenshot too small ($size bytes): nothing drawn?"; exit 1; }
cp "$out" "$E2E_BUILD_DIR/toolkit_showcase.png"
echo "screenshot: $E2E_BUILD_DIR/toolkit_showcase.png ($size bytes)"
