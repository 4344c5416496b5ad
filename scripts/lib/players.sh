# A private D-Bus session bus and media players on it, for the demo and the tests.
# Source this file, then: start_bus DIR; start_mpv; start_fake_player NAME [OPTIONS];
# stop_all stops everything started (call it from the caller's EXIT trap).
# Needs $DUCKVOLT_BIN: the folder holding mpris_probe and fake_mpris_player.

_started_pids=()

# stop_process PID: SIGTERM, and SIGCONT only if the process is frozen (so that it takes the
# SIGTERM). A process already on its way out must get no SIGCONT: a sanitizer's leak check at
# exit stops it with ptrace, a SIGCONT cancels that stop, and the check then waits for ever.
stop_process() {
  kill "$1" 2>/dev/null || return 0
  if [ "$(sed -n 's/^State:\s*\(\S\).*/\1/p' "/proc/$1/status" 2>/dev/null)" = T ]; then
    kill -CONT "$1" 2>/dev/null || true
  fi
}

# Last started first: the players end before the bus they are on goes away under them.
stop_all() {
  local i
  for ((i = ${#_started_pids[@]} - 1; i >= 0; i--)); do
    stop_process "${_started_pids[i]}"
    wait "${_started_pids[i]}" 2>/dev/null || true
  done
  _started_pids=()
}

# start_bus DIR: a session bus of our own at DIR/bus, exported as DBUS_SESSION_BUS_ADDRESS.
start_bus() {
  local dir=$1
  mkdir -p "$dir"
  rm -f "$dir/bus"
  dbus-daemon --session --address="unix:path=$dir/bus" --nofork --nopidfile \
    2>>"$dir/dbus-daemon.log" &
  BUS_PID=$!
  _started_pids+=("$BUS_PID")
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus"
  local i
  for i in $(seq 200); do
    [ -S "$dir/bus" ] && return 0
    sleep 0.01
  done
  echo "the session bus did not start" >&2
  return 1
}

# start_mpv DIR: an idle, headless mpv serving MPRIS; its IPC socket is DIR/mpv.sock.
start_mpv() {
  local dir=$1
  mkdir -p "$dir/mpv-home"
  HOME="$dir/mpv-home" mpv --idle=yes --no-video --ao=null --no-terminal \
    --input-ipc-server="$dir/mpv.sock" --load-scripts=no --script=/usr/lib/mpv-mpris/mpris.so \
    >"$dir/mpv.log" 2>&1 &
  MPV_PID=$!
  _started_pids+=("$MPV_PID")
  export MPV_PID
  "$DUCKVOLT_BIN/mpris_probe" wait org.mpris.MediaPlayer2.mpv 10000
}

# start_fake_player NAME [OPTIONS]: the tests' own player as org.mpris.MediaPlayer2.NAME;
# its process ID is exported as FAKE_PID_NAME.
start_fake_player() {
  local name=$1
  shift
  "$DUCKVOLT_BIN/fake_mpris_player" "$name" "$@" &
  local pid=$!
  _started_pids+=("$pid")
  export "FAKE_PID_$name=$pid"
  "$DUCKVOLT_BIN/mpris_probe" wait "org.mpris.MediaPlayer2.$name" 10000
}
