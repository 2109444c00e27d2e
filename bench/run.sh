#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Full-scan benchmark of tovrek against the machine's floors, side by side
# in one run: the I/O floor (cat FILE >/dev/null) and the output floor (one
# two-byte write(2) per pass, bench/write_floor.cpp).
#
#   bench/run.sh           1 GiB, 32 MiB and 256 MiB files, 11 timed runs each
#   bench/run.sh --smoke   small files and 3 runs, to check that it works
#
# Files and the Release build go to $TOVREK_BENCH_DIR (default
# /tmp/tovrek-bench); files are kept between runs and remade when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${TOVREK_BENCH_DIR:-/tmp/tovrek-bench}

large_bytes=$((1024 * 1024 * 1024))
tiny_bytes=$((32 * 1024 * 1024))
mixed_bytes=$((256 * 1024 * 1024))
runs=11
if [ "${1:-}" = "--smoke" ]; then
    large_bytes=$((4 * 1024 * 1024))
    tiny_bytes=$((256 * 1024))
    mixed_bytes=$((2 * 1024 * 1024))
    runs=3
    dir=$dir/smoke
fi

for tool in strace xxd; do
    command -v "$tool" >/dev/null || { apt-get update && apt-get install -y "$tool"; }
done
[ -x /usr/bin/time ] || { apt-get update && apt-get install -y time; }

mkdir -p "$dir"
cmake -S "$root" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release -DTOVREK_BENCH=ON \
    -DTOVREK_TESTS=OFF >/dev/null
cmake --build "$dir/build" -j2 >/dev/null
tovrek=$dir/build/tovrek
floor=$dir/build/bench/write_floor

# make_file KIND BYTES: writes $dir/KIND.unf and its record count in
# $dir/KIND.records, unless a file made for the same size is already there.
make_file() {
    if [ "$(cat "$dir/$1.bytes" 2>/dev/null)" != "$2" ] || [ ! -f "$dir/$1.unf" ]; then
        "$dir/build/bench/make_unf" "$1" "$2" "$dir/$1.unf" >"$dir/$1.records"
        echo "$2" >"$dir/$1.bytes"
    fi
}

# Wall time of one run of a command, in microseconds, output discarded.
time_once() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>/dev/null
    local end=$EPOCHREALTIME
    echo $(((${end/./} - ${start/./})))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# round NAME COMMAND...: adds one timed run to NAME's samples. Callers
# interleave the commands of a row, so drift on the machine hits all alike,
# and drop the first round as the warm-up.
declare -A samples
round() {
    local name=$1
    shift
    samples[$name]+="$(time_once "$@") "
}
median_of() {
    tr ' ' '\n' <<<"${samples[$1]}" | grep . | median
}
ms() {
    awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'
}
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}

peak_rss_kb() {
    /usr/bin/time -f %M -o "$dir/rss" "$@" >/dev/null 2>&1
    cat "$dir/rss"
}

# Syscalls of one full scan, per pass: writes to stderr, reads of the file.
# Tracing every write of millions of passes takes minutes, so this runs on
# a file of the same kind cut to at most 4 MiB: the figures are per pass.
syscalls_per_pass() {
    local kind=$1 bytes=$2 log=$dir/strace.log file=$dir/$1.sample.unf passes
    [ "$bytes" -gt $((4 * 1024 * 1024)) ] && bytes=$((4 * 1024 * 1024))
    passes=$(($("$dir/build/bench/make_unf" "$kind" "$bytes" "$file") + 1))
    strace -f -P "$file" -e trace=read -o "$log.read" "$tovrek" "$file" 0 >/dev/null 2>&1
    strace -f -e trace=write -e signal=none -o "$log.write" "$tovrek" "$file" 0 >/dev/null 2>&1
    awk -v p="$passes" -v r="$(grep -c ' read(' "$log.read")" \
        '/ write\(2,/ { w++ } END { printf "%.3f %.5f", w / p, r / p }' "$log.write"
}

make_file large $large_bytes
make_file tiny $tiny_bytes
make_file mixed $mixed_bytes
small=$dir/small.unf
"$dir/build/bench/make_unf" mixed 1024 "$small" >/dev/null

echo "tovrek full scan (record 0) against its floors; median of $runs runs after a warm-up"
echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo); $(date -u +%Y-%m-%d)"
echo
echo "| file | passes | tovrek ms | floor ms | ratio | target | fprintf floor ms | ratio | writes/pass | reads/pass | peak RSS KiB |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
for kind in large tiny mixed; do
    file=$dir/$kind.unf
    passes=$(($(cat "$dir/$kind.records") + 1))
    samples=()
    for ((i = 0; i <= runs; i++)); do
        round tovrek "$tovrek" "$file" 0
        round io cat "$file"
        round out "$floor" "$passes"
        round fmt "$floor" "$passes" fprintf
    done
    # Drop the warm-up round.
    for key in tovrek io out fmt; do samples[$key]=${samples[$key]#* }; done
    t=$(median_of tovrek)
    # f: the target's floor; g: the same with the formatted write the tool
    # is bound to make in place of the bare write(2).
    case $kind in
    large) f=$(median_of io); g=$((f + $(median_of fmt))); target="1.5 × I/O" ;;
    tiny) f=$(median_of out); g=$(median_of fmt); target="1.1 × output" ;;
    mixed) f=$(($(median_of io) + $(median_of out))); g=$(($(median_of io) + $(median_of fmt)))
        target="1.2 × (I/O + output)" ;;
    esac
    read -r writes reads <<<"$(syscalls_per_pass "$kind" "$(stat -c %s "$file")")"
    echo "| $kind ($(($(stat -c %s "$file") / 1048576)) MiB) | $passes | $(ms "$t") | $(ms "$f") | $(ratio "$t" "$f") | $target | $(ms "$g") | $(ratio "$t" "$g") | $writes | $reads | $(peak_rss_kb "$tovrek" "$file" 0) |"
done
echo
echo "Peak RSS of a full scan of a 1 KiB file: $(peak_rss_kb "$tovrek" "$small" 0) KiB"

# The hex dump of one 57,000-byte record against xxd on the same bytes.
large=$dir/large.unf
record=$dir/record.bin
head -c 57006 "$large" | tail -c 57000 >"$record"
samples=()
for ((i = 0; i <= runs; i++)); do
    round dump "$tovrek" "$large" 1 /H
    round xxd xxd -u -g1 "$record"
done
for key in dump xxd; do samples[$key]=${samples[$key]#* }; done
echo
echo "| hex dump of 57,000 bytes | tovrek FILE 1 /H ms | xxd -u -g1 ms | ratio |"
echo "|---|---|---|---|"
echo "| to /dev/null | $(ms "$(median_of dump)") | $(ms "$(median_of xxd)") | $(ratio "$(median_of dump)" "$(median_of xxd)") |"
