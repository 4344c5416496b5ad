#!/usr/bin/env bash
# Everything from a fresh Debian 12 machine to a full test run: installs what is missing,
# builds with warnings as errors and runs every test: the unit, dialog, scenario, soak and
# memcheck tests; the same under AddressSanitizer and UndefinedBehaviorSanitizer; short fuzz
# runs; the benchmarks with a few iterations; the 32-bit Windows DLL under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset ci >/dev/null
cmake --build --preset ci

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j2

bash tests/fuzz/run-short.sh
bash scripts/windows-check.sh
echo "benchmarks, a few iterations only:"
bash bench/run.sh --quick --preset ci | sed -n '/^| 1 | core per report/p;/^| 2 | fake: host/p'

ctest --preset ci -j2
