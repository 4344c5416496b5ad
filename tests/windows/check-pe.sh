#!/usr/bin/env bash
# Reads the PE tables of the Windows plugin DLL with objdump -p.
#   check-pe.sh exports OBJDUMP DLL EXPORTS.TXT   a PE32 i386 DLL exporting exactly the names
#                                                 listed, undecorated
#   check-pe.sh imports OBJDUMP DLL               imports from system DLLs only, and the window
#                                                 services from USER32
set -euo pipefail
mode=$1 objdump=$2 dll=$3
headers=$("$objdump" -p "$dll")

case $mode in
exports)
  grep -q 'file format pei-i386' <<<"$headers" || { echo "$dll: not a PE for i386"; exit 1; }
  grep -qE '^Magic[[:space:]]+010b' <<<"$headers" || { echo "$dll: not PE32"; exit 1; }
  expected=$(sort "$4")
  # The name table: "[   n] name" lines after "[Ordinal/Name Pointer] Table".
  actual=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
                on && /^[[:space:]]*\[/ {print $NF; next}
                on {on = 0}' <<<"$headers" | sort)
  if [ "$actual" != "$expected" ]; then
    echo "exports of $dll differ from the twenty names (< expected, > found):"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
  fi
  echo "$dll: PE32 i386, exactly the $(wc -l <<<"$actual") exports, undecorated"
  ;;
imports)
  dlls=$(awk '/DLL Name:/ {print $3}' <<<"$headers" | sort -u)
  bad=$(grep -viE '^(kernel32|user32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$' \
    <<<"$dlls" || true)
  if [ -n "$bad" ]; then
    echo "$dll imports DLLs that are not part of Windows:"
    echo "$bad"
    exit 1
  fi
  # The functions imported from USER32: its block runs up to the next "DLL Name".
  user32=$(awk 'tolower($0) ~ /dll name: user32\.dll/ {on = 1; next} /DLL Name:/ {on = 0}
                on && NF >= 3 {print $NF}' <<<"$headers")
  for name in FindWindowW SendMessageW; do
    grep -qx "$name" <<<"$user32" || { echo "$dll does not import $name from USER32"; exit 1; }
  done
  echo "$dll imports only:" $dlls
  ;;
*)
  echo "usage: $0 exports|imports OBJDUMP DLL [EXPORTS.TXT]" >&2
  exit 2
  ;;
esac
