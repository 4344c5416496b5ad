#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine to a full test run: installs what is missing,
# builds with warnings as errors, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci -j2
bash scripts/windows-check.sh
bash tests/fuzz/run-short.sh
