#!/usr/bin/env bash
# Inside a scenario: stops the session bus, starts a new one at the same address, and the
# named fake players on it again. The new processes leave .pid files in the working
# directory, where the scenario runner finds them to stop them.
set -euo pipefail
kill "$BUS_PID"
while kill -0 "$BUS_PID" 2>/dev/null; do sleep 0.01; done
rm -f "$BUS_DIR/bus"
dbus-daemon --session --address="unix:path=$BUS_DIR/bus" --nofork --nopidfile \
  2>>"$BUS_DIR/dbus-daemon.log" &
echo $! >bus.pid
while [ ! -S "$BUS_DIR/bus" ]; do sleep 0.01; done
for name in "$@"; do
  "$DUCKVOLT_BIN/fake_mpris_player" "$name" &
  echo $! >"$name.pid"
done
