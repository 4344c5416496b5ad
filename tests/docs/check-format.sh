#!/usr/bin/env bash
# Every C++ source is as the project's clang-format lays it out.
set -euo pipefail
cd "$(dirname "$0")/../.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"
echo "${#sources[@]} sources formatted"
