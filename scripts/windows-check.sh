#!/usr/bin/env bash
# The 32-bit Windows DLL: cross-builds it with mingw-w64 (preset win32, build-win32/), checks
# its export and import tables, and runs the Win32 check host against it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32
grep -h 'wine prefix created' build-win32/Testing/Temporary/LastTest.log || true
