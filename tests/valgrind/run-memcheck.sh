#!/usr/bin/env bash
# Plays a long scenario in the stand-in host under valgrind's memcheck, on a private session
# bus with the scenario's fake players, and prints the leak and error figures. Each line
# "#@ talk-reports N" of the scenario becomes N generated talk reports across two
# connections. Passes only with no memcheck error: nothing definitely or indirectly lost
# (outside the suppressions file), no invalid read or write, no use of undefined values.
#   run-memcheck.sh BIN SCENARIO SUPPRESSIONS
set -euo pipefail

bin=$(realpath "$1")  # the folder with duckvolt-host, the plugin and the player tools
scenario=$(realpath "$2")
suppressions=$(realpath "$3")

export DUCKVOLT_BIN=$bin
source "$(dirname "$0")/../../scripts/lib/players.sh"

work=$(mktemp -d /tmp/duckvolt-memcheck.XXXXXX)
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT

# Talkers overlap in groups of four reports, so the count rises to two and falls back to
# zero; now and then the user talks too, and every third group is a whisper.
awk '
  /^#@ talk-reports / {
    for (g = 0; g < $3 / 4; g++) {
      c = 1 + g % 2; a = 20 + g % 5; b = 30 + g % 3; w = g % 3 == 0 ? " whisper" : ""
      if (g % 50 == 0) { print "talk " c " 7 start"; print "talk " c " 7 stop" }
      print "talk " c " " a " start"; print "talk " c " " b " start" w
      print "talk " c " " a " stop"; print "talk " c " " b " stop" w
    }
    next
  }
  { print }' "$scenario" >"$work/session.scn"
reports=$(grep -c '^talk ' "$work/session.scn")

start_bus "$work/bus"
while read -r kind rest; do
  # shellcheck disable=SC2086
  case $kind in
    fake) start_fake_player $rest ;;
    *) echo "unknown player kind $kind" >&2; exit 2 ;;
  esac
done < <(sed -n 's/^#@ player *//p' "$scenario")

mkdir "$work/cwd"
began=$(date +%s%N)
status=0
(cd "$work/cwd" && valgrind --tool=memcheck --leak-check=full \
  --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --keep-debuginfo=yes \
  --num-callers=30 --suppressions="$suppressions" --log-file="$work/memcheck.log" \
  "$bin/duckvolt-host" "$work/session.scn") >"$work/transcript" 2>"$work/errors" || status=$?
ended=$(date +%s%N)

# No leak summary at all means every block was freed.
figure() {
  sed -n "s/^==[0-9]*== *$1: *\([0-9,]*\) bytes.*/\1/p" "$work/memcheck.log" | tr -d , | grep . ||
    echo 0
}
errors=$(sed -n 's/^==[0-9]*== ERROR SUMMARY: \([0-9,]*\) errors.*/\1/p' "$work/memcheck.log")
seconds=$(awk "BEGIN { printf \"%.1f\", ($ended - $began) / 1e9 }")
echo "memcheck: $reports talk reports in $seconds s"
sed -n 's/^==[0-9]*== *total heap usage: */  heap usage:      /p' "$work/memcheck.log"
echo "  definitely lost: $(figure 'definitely lost') bytes"
echo "  indirectly lost: $(figure 'indirectly lost') bytes"
echo "  possibly lost:   $(figure 'possibly lost') bytes"
echo "  suppressed:      $(figure 'suppressed') bytes"
echo "  invalid reads:   $(grep -c 'Invalid read' "$work/memcheck.log" || true)"
echo "  invalid writes:  $(grep -c 'Invalid write' "$work/memcheck.log" || true)"
echo "  errors:          $errors"

if [ $status -ne 0 ] || [ "$(tail -n 1 "$work/transcript")" != unloaded ]; then
  echo "duckvolt-host under memcheck failed ($status):"
  tail -n 20 "$work/transcript"
  cat "$work/errors"
  grep -v '^==[0-9]*== *$' "$work/memcheck.log" | head -n 400
  exit 1
fi
