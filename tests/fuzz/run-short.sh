#!/usr/bin/env bash
# The four fuzz targets (preset fuzz: clang, libFuzzer, address and undefined-behaviour
# sanitizers, build-fuzz/), each run for a short fixed number of inputs from its seed corpus.
# Fails when any target finds a crash, a sanitizer report or a broken invariant.
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
