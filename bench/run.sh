#!/usr/bin/env bash
# Every figure of docs/benchmarks.md in one run: builds what it needs (the bench preset,
# build-bench/), starts a private session bus with mpv and the fake player, runs the
# measurements and prints the table (Markdown) with the machine it ran on and the commands.
#
#   bench/run.sh            the full run: 10,000 reports per case (a few minutes)
#   bench/run.sh --quick    a few iterations of everything, only to show that it still works
#   --preset NAME           build with that preset instead (build-NAME/; the test command
#                           uses ci, whose build has the benchmarks too)
set -euo pipefail

quick=0
preset=bench
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --preset) preset=${2:?}; shift ;;
    *) echo "usage: bench/run.sh [--quick] [--preset NAME]" >&2; exit 2 ;;
  esac
  shift
done
if [ $quick -eq 1 ]; then
  reports=50 loads=1 callgrind_reports=1000
  core_flags="--benchmark_min_time=0.01 --benchmark_repetitions=2"
else
  reports=10000 loads=21 callgrind_reports=100000
  core_flags="--benchmark_min_time=0.5 --benchmark_repetitions=9"
fi
core_flags+=" --benchmark_report_aggregates_only=true --benchmark_format=csv"

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
log=$(mktemp /tmp/duckvolt-bench-build.XXXXXX)
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target duckvolt_plugin \
  duckvolt_core_bench duckvolt_bus_bench duckvolt_load_bench \
  fake_mpris_player mpris_probe; } >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  exit 1
fi
rm -f "$log"
bin=$root/build-$preset/bin
plugin=$bin/duckvolt_linux_amd64.so

export DUCKVOLT_BIN=$bin
# shellcheck source=/dev/null
source "$root/scripts/lib/players.sh"
work=$(mktemp -d /tmp/duckvolt-bench.XXXXXX)
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT
# The plugin reads its settings here: none, so the defaults (lower 0 %, raise 100 %).
mkdir "$work/cwd"
cd "$work/cwd"

# Each measurement once, by its tag; the table's last column names the tag, and the list
# under the table gives the command (paths relative to the checkout, $W the run's folder).
commands=()
relative() { echo "$*" | sed "s|$root/||g; s|$work|\$W|g"; }
measure() {  # TAG OUTPUT COMMAND...
  local tag=$1 output=$2
  shift 2
  commands+=("$tag"$'\t'"$(relative "$@")"$'\t')
  if ! "$@" >"$output" 2>"$output.err"; then
    echo "$tag failed: $(relative "$@")" >&2
    cat "$output.err" >&2
    exit 1
  fi
}

# --- 1. the core per report ----------------------------------------------------------------
# shellcheck disable=SC2086
measure core "$work/core.csv" "$bin/duckvolt_core_bench" $core_flags
measure callgrind "$work/callgrind.txt" valgrind --quiet --tool=callgrind \
  --toggle-collect='onTalkStatusChange*' --callgrind-out-file="$work/callgrind.out" \
  "$bin/duckvolt_core_bench" --loop "$callgrind_reports"
commands+=("callgrind"$'\t'"callgrind_annotate \$W/callgrind.out | grep 'PROGRAM TOTALS'"$'\t')
commands[-1]+=", divided by $callgrind_reports"

# --- 2-4. host thread, end to end, the bare Set, the round trip ------------------------------
start_bus "$work/session"
# (a) mpv, alone on the bus
start_mpv "$work/session" 2>/dev/null
measure mpv "$work/mpv.txt" "$bin/duckvolt_bus_bench" live "$plugin" $reports \
  org.mpris.MediaPlayer2.mpv --mpv-ipc "$work/session/mpv.sock"
kill "$MPV_PID"
wait "$MPV_PID" 2>/dev/null || true
# (b) the fake player, alone on the bus
start_fake_player bench --log "$work/sets.log"
measure fake "$work/fake.txt" "$bin/duckvolt_bus_bench" live "$plugin" $reports \
  org.mpris.MediaPlayer2.bench --fake-log "$work/sets.log"
# (c) the same player, frozen (start_fake_player exports FAKE_PID_bench)
# shellcheck disable=SC2154
kill -STOP "$FAKE_PID_bench"
measure frozen "$work/frozen.txt" "$bin/duckvolt_bus_bench" host-thread "$plugin" $reports \
  --players 1
kill -CONT "$FAKE_PID_bench"
kill "$FAKE_PID_bench"
wait "$FAKE_PID_bench" 2>/dev/null || true
# (d) no player
measure none "$work/none.txt" "$bin/duckvolt_bus_bench" host-thread "$plugin" $reports --players 0

# --- 5. loading, each in a fresh process (the bus up, no player) ----------------------------
for _ in $(seq $loads); do
  "$bin/duckvolt_load_bench" "$plugin" >>"$work/load.txt"
  "$bin/duckvolt_load_bench" "$plugin" --with-qt >>"$work/load-qt.txt"
done
commands+=("load"$'\t'"$(relative "$bin/duckvolt_load_bench" "$plugin") [--with-qt]"$'\t')
commands[-1]+=", $loads fresh processes each, medians"

# (e) no bus at all
kill "$BUS_PID"
wait "$BUS_PID" 2>/dev/null || true
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus-here"
measure nobus "$work/nobus.txt" "$bin/duckvolt_bus_bench" host-thread "$plugin" $reports

# --- the table -----------------------------------------------------------------------------
core() {  # FILE BENCHMARK COLUMN: Google Benchmark's median over the repetitions
  awk -F, -v name="\"$2_median\"" -v column="$3" '
    NR == 1 { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); at[$i] = i }; next }
    $1 == name { printf "%.1f", $(at[column]) }' "$1"
}
us() {  # FILE FIGURE COLUMN (2 median, 3 p99, 4 max) in microseconds
  awk -v figure="$2" -v column="$3" '$1 == figure { printf "%.1f", $column / 1000 }' "$1"
}
value() { awk -v key="$2" '$1 == key { print $2 }' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
median_of() {  # FILE KEY: the median over the load runs
  awk -v key="$2" '$1 == key { print $2 }' "$1" | sort -n |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ms_of() { awk -v ns="$(median_of "$1" "$2")" 'BEGIN { printf "%.2f", ns / 1000000 }'; }
row() { echo "| $1 | $2 | $3 | $4 | $5 | $6 | $7 |"; }

lscpu_field() { lscpu | awk -F: -v key="$1" '$1 == key { gsub(/^ +/, "", $2); print $2; exit }'; }
machine="$(lscpu_field 'Model name'), $(nproc) cores ($(lscpu_field 'Hypervisor vendor') guest,"
machine+=" shared with other work), Linux $(uname -r)"
echo "Machine: $machine; run $(date -u '+%Y-%m-%d %H:%M UTC')."
[ $quick -eq 1 ] && echo "QUICK MODE: a few iterations only; these figures mean nothing."
echo
row "#" Figure Median p99 Ratio Goal How
row "---" "---" "---:" "---:" "---:" "---" "---"
f=$work/core.csv
total=$(callgrind_annotate "$work/callgrind.out" |
  awk '/PROGRAM TOTALS/ { gsub(/,/, "", $1); print $1 }')
row 1 "core per report (the recorder as window services), wall / CPU" \
  "$(core "$f" BM_TalkReport real_time) / $(core "$f" BM_TalkReport cpu_time) ns" "" "" \
  "≤ 100 ns" core
row 1 "core: heap allocations per report, malloc / operator new" \
  "$(core "$f" BM_TalkReport mallocs) / $(core "$f" BM_TalkReport news)" "" "" "0" core
row 1 "core: instructions per report" "$(ratio "$total" "$callgrind_reports")" "" "" \
  "recorded" callgrind
cost="$(core "$f" BM_SimulatedHostGetClientID cpu_time) ns"
cost+="; $(core "$f" BM_SimulatedHostGetClientID mallocs)"
row 1 "the simulated host's own getClientID, CPU; mallocs per call" "$cost" "" "" "" core
for player in mpv fake; do
  f=$work/$player.txt
  bare=$(us "$f" bare_set 2) trip=$(us "$f" round_trip 2) drained=$(us "$f" drained_set 2)
  report=$(us "$f" host_thread 2) end=$(us "$f" end_to_end 2)
  row 4 "$player: one bare no-reply Set" "$bare µs" "$(us "$f" bare_set 3) µs" "1" "" "$player"
  row 4 "$player: one round trip (reply awaited)" "$trip µs" "$(us "$f" round_trip 3) µs" "1" \
    "" "$player"
  figure="$player: one no-reply Set after reading the connection (answers not asked for:"
  figure+=" $(value "$f" unasked_answers_per_set) per Set)"
  row 4 "$figure" "$drained µs" "$(us "$f" drained_set 3) µs" \
    "$(ratio "$drained" "$bare") × bare Set" "" "$player"
  row 2 "$player: host-thread time of a report" "$report µs" "$(us "$f" host_thread 3) µs" \
    "$(ratio "$report" "$bare") × bare Set; $(ratio "$report" "$drained") × Set after reading" \
    "≤ 1.5 × bare Set" "$player"
  row 3 "$player: end to end, call to the player's Volume changed" "$end µs" \
    "$(us "$f" end_to_end 3) µs" "$(ratio "$end" "$trip") × round trip" "≤ 1.2 × round trip" \
    "$player"
done
for case in frozen:"fake player frozen" none:"no player" nobus:"no bus"; do
  tag=${case%%:*}
  f=$work/$tag.txt
  row 2 "${case#*:}: host-thread time of a report (max $(us "$f" host_thread 4) µs)" \
    "$(us "$f" host_thread 2) µs" "$(us "$f" host_thread 3) µs" "" "p99 ≤ 1000 µs" "$tag"
done
for variant in load:"into a bare process" load-qt:"into a process with Qt Widgets loaded"; do
  f=$work/${variant%%:*}.txt
  name=${variant#*:}
  row 5 "$name: dlopen / ts3plugin_init / first report (opens the bus connection)" \
    "$(ms_of "$f" dlopen_ns) / $(ms_of "$f" init_ns) / $(ms_of "$f" first_report_ns) ms" \
    "" "" "" load
  figure="$name: resident memory added by dlopen + init + first report = total;"
  figure+=" the library file's own pages"
  memory="$(median_of "$f" rss_added_by_dlopen_kib) + $(median_of "$f" rss_added_by_init_kib)"
  memory+=" + $(median_of "$f" rss_added_by_first_report_kib) = $(median_of "$f" rss_added_kib)"
  memory+=" KiB; $(median_of "$f" rss_of_library_file_kib) KiB"
  row 5 "$figure" "$memory" "" "" "" load
done
echo
echo "Reports per case: $reports; the medians and ratios above come from this one run."
echo
echo "Commands (\$W is the run's temporary folder, with the bus, the players and their logs):"
echo
for command in "${commands[@]}"; do
  IFS=$'\t' read -r tag text note <<<"$command"
  echo "- $tag: \`$text\`$note"
done
