#!/usr/bin/env bash
# Unpacks the installer package and checks its content: a deflated zip holding package.ini
# at its root and exactly the libraries named under plugins/, each the same bytes as the
# built file, and a package.ini that agrees with the library's identity.
#   check-package.sh PACKAGE PACKAGE_CHECK PLATFORMS LIBRARY...
set -euo pipefail
package=$1 checker=$2 platforms=$3
shift 3

expected=$( { echo package.ini; for library in "$@"; do echo "plugins/$(basename "$library")"; done; } | sort)
actual=$(unzip -Z1 "$package" | sort)
if [ "$actual" != "$expected" ]; then
  echo "$package holds (< expected, > found):"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
stored=$(unzip -Zv "$package" | awk '/compression method:/ && !/deflated/' )
if [ -n "$stored" ]; then
  echo "$package has entries that are not deflated: $stored"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$package" -d "$work"
for library in "$@"; do
  cmp "$library" "$work/plugins/$(basename "$library")"
done
# shellcheck disable=SC2086
"$checker" "$work/package.ini" "$work/plugins/$(basename "$1")" $platforms
echo "$package: package.ini and $# plugin librar$([ $# -eq 1 ] && echo y || echo ies), deflated"
