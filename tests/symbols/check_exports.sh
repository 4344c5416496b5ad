#!/usr/bin/env bash
# The plugin library's dynamic symbol table holds the twenty exports and nothing else.
set -euo pipefail
library=$1
expected=$(sort "$(dirname "$0")/exports.txt")
actual=$(nm -D --defined-only "$library" | awk '{print $NF}' | sort)
if [ "$actual" != "$expected" ]; then
  echo "dynamic symbols of $library differ from the twenty exports:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$library: exactly the $(echo "$actual" | wc -l) exports"
