#!/usr/bin/env bash
# Plays a short voice session in the stand-in host against a real mpv on a private session
# bus: the transcript shows every talk report and the player's volume after it.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target duckvolt-host mpris_probe fake_mpris_player >/dev/null

export DUCKVOLT_BIN=$top/build/bin
source scripts/lib/players.sh
work=$(mktemp -d /tmp/duckvolt-demo.XXXXXX)
trap 'stop_all; rm -rf "$work"' EXIT

start_bus "$work"
start_mpv "$work"
cd "$work"
"$DUCKVOLT_BIN/duckvolt-host" "$top/examples/voice-session.scn"
