#!/usr/bin/env bash
# One short fuzzing run: run-fuzzer.sh BINARY SEED_CORPUS [libFuzzer options...]. The fuzzer
# works on a scratch copy of the seeds, so the committed corpus stays as it is; an input that
# fails is written to the current folder (crash-*) and the run fails.
set -euo pipefail
binary=$1
seeds=$2
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$seeds"/* "$scratch"/
"$binary" -seed=1 -max_len=4096 "$@" "$scratch"
