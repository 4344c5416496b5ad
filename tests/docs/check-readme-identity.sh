#!/usr/bin/env bash
# The README's identity table says what the plugin's own constants say.
set -euo pipefail
top=$(dirname "$0")/../..
constant() { sed -n "s/.*$1 = \"\\(.*\\)\";/\\1/p" "$top/src/plugin/identity.h"; }
name=$(constant pluginName)
version=$(constant pluginVersion)
author=$(constant pluginAuthor)
api=$(sed -n 's/.*pluginApiVersion = \([0-9]*\);/\1/p' "$top/src/plugin/identity.h")
description=$(sed -n '/pluginDescription =/{n;s/^ *"\(.*\)";/\1/p}' "$top/src/plugin/identity.h")
row="| $name | $version | $author | $api | $description |"
for value in "$name" "$version" "$author" "$api" "$description"; do
  [ -n "$value" ] || { echo "could not read the identity constants"; exit 1; }
done
if ! grep -qxF "$row" "$top/README.md"; then
  echo "README.md lacks the identity row: $row"
  exit 1
fi
echo "README identity row matches: $row"
