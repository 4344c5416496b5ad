#!/usr/bin/env bash
# Takes the README's screenshot of the settings dialog: the dialog as built, opened on a
# settings file holding 30 and 80, drawn by Qt's offscreen platform (no display needed) into
# docs/config-dialog.png.
# Usage: scripts/screenshot-dialog.sh [BUILD_DIR]   (default: the "default" preset's build/)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

bash scripts/install-deps.sh
if [ $# -ge 1 ]; then
  build=$1
  cmake -S "$top" -B "$build" >/dev/null
  cmake --build "$build" -j2 --target duckvolt_dialog_grab >/dev/null
else
  build=$top/build
  cmake --preset default >/dev/null
  cmake --build --preset default --target duckvolt_dialog_grab >/dev/null
fi
build=$(cd "$build" && pwd)

work=$(mktemp -d /tmp/duckvolt-screenshot.XXXXXX)
trap 'rm -rf "$work"' EXIT
printf '30\n80\n' >"$work/duckvolt.cfg"
mkdir -p docs
(
  cd "$work"
  export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work}
  "$build/bin/duckvolt_dialog_grab" "$top/docs/config-dialog.png"
)
echo "wrote docs/config-dialog.png"
