#!/usr/bin/env bash
# Plays a scenario in the stand-in host on the built plugin library and compares the
# transcript with the expected one beside it (NAME.scn -> NAME.expected); prints a diff when
# they differ (or with EXPECTED given, that file). Lines "#@ ..." at the top say what the session needs:
#   #@ player fake NAME [OPTIONS]    the tests' own MPRIS player
#   #@ player mpv                    a real mpv with its MPRIS script
#   #@ bus none                      no session bus at all
# With --update the transcript is written as the expected one instead.
set -euo pipefail

update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
bin=$(realpath "$1")  # the folder with duckvolt-host, the plugin and the player tools
scenario=$(realpath "$2")
expected=${3:-${scenario%.scn}.expected}

export DUCKVOLT_BIN=$bin
source "$(dirname "$0")/../../scripts/lib/players.sh"

work=$(mktemp -d /tmp/duckvolt-scenario.XXXXXX)
# Players that a scenario starts itself leave NAME.pid files in its working directory.
cleanup() {
  local pidfile
  for pidfile in "$work"/cwd/*.pid; do
    [ -e "$pidfile" ] && kill -CONT "$(cat "$pidfile")" 2>/dev/null && kill "$(cat "$pidfile")" 2>/dev/null
  done
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT

bus=yes
while read -r marker kind name rest; do
  [ "$marker" = "#@" ] || continue
  if [ "$kind" = bus ] && [ "$name" = none ]; then bus=no; fi
done <"$scenario"

if [ $bus = yes ]; then
  start_bus "$work/session"
else
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus-here"
fi
while read -r marker kind name rest; do
  [ "$marker" = "#@" ] && [ "$kind" = player ] || continue
  # shellcheck disable=SC2086
  case $name in
    mpv) start_mpv "$work/session" ;;
    fake) start_fake_player $rest ;;
    *) echo "unknown player kind $name" >&2; exit 2 ;;
  esac
done <"$scenario"

mkdir "$work/cwd"
status=0
(cd "$work/cwd" && "$bin/duckvolt-host" "$scenario") >"$work/transcript" 2>"$work/errors" || status=$?
if [ $status -ne 0 ]; then
  cat "$work/transcript"
  echo "duckvolt-host failed ($status):"
  cat "$work/errors"
  exit 1
fi

if [ $update -eq 1 ]; then
  cp "$work/transcript" "$expected"
  echo "wrote $expected"
  exit 0
fi
if ! diff -u "$expected" "$work/transcript"; then
  echo "transcript of $(basename "$scenario") differs from $(basename "$expected")"
  exit 1
fi
echo "$(basename "$scenario"): transcript as expected"
