#!/usr/bin/env bash
# Plays a scenario in the stand-in host on the built plugin library and compares the
# transcript with the expected one beside it (NAME.scn -> NAME.expected, or the EXPECTED
# file given); prints a diff when they differ. Lines "#@ ..." say what the session needs:
#   #@ player fake NAME [OPTIONS]    the tests' own MPRIS player
#   #@ player mpv                    a real mpv with its MPRIS script
#   #@ bus none                      no session bus at all
#   #@ user nobody                   everything runs as that unprivileged user (needs root)
#   #@ prepare COMMAND               run in the host's working directory ($CWD) before it starts
# A scenario that cannot run here exits 77 (skipped) with the reason.
# With --update the transcript is written as the expected one instead; with --run it is
# only printed, and the host's exit status is the verdict.
#   run-scenario.sh [--update|--run] BIN SCENARIO [EXPECTED]
set -euo pipefail

update=0
compare=1
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
if [ "${1:-}" = "--run" ]; then compare=0; shift; fi
bin=$(realpath "$1")  # the folder with duckvolt-host, the plugin and the player tools
scenario=$(realpath "$2")
expected=$(realpath -m "${3:-${scenario%.scn}.expected}")

directive() { sed -n "s/^#@ $1 *//p" "$scenario"; }

user=$(directive user)
if [ -n "$user" ] && [ "$(id -un)" != "$user" ]; then
  skip() { echo "skipped: $*"; exit 77; }
  [ "$(id -u)" -eq 0 ] || skip "running as $user needs root"
  command -v setpriv >/dev/null || skip "setpriv is missing"
  as_user=(setpriv --reuid="$user" --regid="$(id -gn "$user")" --clear-groups --reset-env)
  # The sanitizer build's options (suppressions, leak checks) go along with PATH.
  kept_env=(PATH="$PATH")
  for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    [ -z "${!name:-}" ] || kept_env+=("$name=${!name}")
  done
  "${as_user[@]}" test -x "$bin/duckvolt-host" -a -r "$scenario" ||
    skip "$user cannot reach the build in $bin"
  if [ $update -eq 1 ]; then
    # $user writes the transcript where it may; root puts it in place.
    transcript=$(mktemp)
    chmod 666 "$transcript"
    "${as_user[@]}" env "${kept_env[@]}" bash "$0" --update "$bin" "$scenario" "$transcript" \
      >/dev/null
    cp "$transcript" "$expected"
    rm -f "$transcript"
    echo "wrote $expected"
    exit 0
  fi
  mode=()
  [ $compare -eq 0 ] && mode=(--run)
  exec "${as_user[@]}" env "${kept_env[@]}" bash "$0" "${mode[@]}" "$bin" "$scenario" "$expected"
fi

export DUCKVOLT_BIN=$bin DUCKVOLT_SCENARIOS=$(dirname "$(realpath "$0")")
source "$(dirname "$0")/../../scripts/lib/players.sh"

work=$(mktemp -d /tmp/duckvolt-scenario.XXXXXX)
export CWD=$work/cwd
# Players that a scenario starts itself leave NAME.pid files in its working directory.
cleanup() {
  local pidfile
  for pidfile in "$CWD"/*.pid; do
    [ -e "$pidfile" ] && stop_process "$(cat "$pidfile")"
  done
  stop_all
  mountpoint -q "$CWD" 2>/dev/null && umount "$CWD"
  chmod -R u+rwX "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if [ "$(directive bus)" = none ]; then
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus-here"
else
  start_bus "$work/session"
  export BUS_DIR=$work/session BUS_PID
fi
while read -r kind rest; do
  # shellcheck disable=SC2086
  case $kind in
    mpv) start_mpv "$work/session" ;;
    fake) start_fake_player $rest ;;
    *) echo "unknown player kind $kind" >&2; exit 2 ;;
  esac
done < <(directive player)

mkdir "$CWD"
while read -r command; do
  [ -n "$command" ] || continue
  status=0
  (cd "$CWD" && eval "$command") || status=$?
  [ $status -eq 0 ] || exit $status
done < <(directive prepare)

status=0
(cd "$CWD" && "$bin/duckvolt-host" "$scenario") >"$work/transcript" 2>"$work/errors" || status=$?
if [ $status -ne 0 ]; then
  cat "$work/transcript"
  echo "duckvolt-host failed ($status):"
  cat "$work/errors"
  exit 1
fi

if [ $compare -eq 0 ]; then
  cat "$work/transcript"
  exit 0
fi
if [ $update -eq 1 ]; then
  cat "$work/transcript" >"$expected"
  echo "wrote $expected"
  exit 0
fi
if ! diff -u "$expected" "$work/transcript"; then
  echo "transcript of $(basename "$scenario") differs from $(basename "$expected")"
  exit 1
fi
echo "$(basename "$scenario"): transcript as expected"
