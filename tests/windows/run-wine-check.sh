#!/usr/bin/env bash
# Runs the Win32 check host and the settings write check under Wine, headless and without
# touching the user's Wine setup: a fresh 32-bit prefix and HOME in a temporary folder, the
# null graphics driver (windows exist and take messages, nothing is drawn), no Mono, no
# Gecko, no menu entries. The plugin sits in a plugins folder beside the host, the working
# directory holds duckvolt.cfg. Prints how long the prefix and the run took.
#   run-wine-check.sh DUCKVOLT_WIN32.DLL WINE_CHECK_HOST.EXE SETTINGS_WRITE_CHECK.EXE
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 DLL HOST.EXE SETTINGS_CHECK.EXE" >&2; exit 2; }
for tool in wine wineboot wineserver; do
  command -v "$tool" >/dev/null || { echo "$tool missing: run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/duckvolt-wine.XXXXXX")
export WINEPREFIX=$work/prefix HOME=$work/home WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$HOME" "$work/run/plugins"
cp "$1" "$work/run/plugins/"
cp "$2" "$3" "$work/run/"
host=$(basename "$2") settings_check=$(basename "$3") dll=$(basename "$1")

seconds() { date +%s.%N; }
started=$(seconds)
if ! wineboot -i >"$work/wineboot.log" 2>&1 ||
  ! wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$work/wineboot.log" 2>&1 ||
  ! wineserver -w; then
  echo "creating the Wine prefix failed:" >&2
  cat "$work/wineboot.log" >&2
  exit 1
fi
prefixed=$(seconds)

cd "$work/run"
status=0
wine "$host" "plugins\\$dll" || status=1
wine "$settings_check" || status=1
wineserver -w
finished=$(seconds)

awk -v a="$started" -v b="$prefixed" -v c="$finished" \
  'BEGIN { printf "wine prefix created in %.1f s; checks ran in %.1f s\n", b - a, c - b }'
exit $status
