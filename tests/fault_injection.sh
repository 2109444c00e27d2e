#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Injects EIO into each read of the UNF file in turn (strace fault
# injection) over a full scan. Every injected run must end, with status 1,
# only the search line on stdout and the data error as its last stderr text.
set -u
# LeakSanitizer cannot run under ptrace; the sanitizer build runs this too.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
# The tool: $1, or the command in TOVREK_TEST_TOOL (as for the other tests;
# under qemu-user the guest's reads are qemu's own, so strace sees them).
read -r -a tovrek <<<"${TOVREK_TEST_TOOL:-$1}"
command -v strace >/dev/null || { echo "skipped: strace not found (Debian: strace)"; exit 77; }
case ${tovrek[-1]} in
*.exe) echo "skipped: a Windows exe reads through Wine, not through the reads strace injects into"
    exit 77 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Records of mixed sizes, so the stream's reads end inside length fields,
# data and line ends alike; one is larger than the record buffer.
file=$work/file.unf
ends=($'\r\n' $'\n' $'\r\r\n')
sizes=(0 5 4093 1 9000 57000 60000 300 2 12000)
for ((i = 0; i < 400; i++)); do sizes+=($((700 + i * 7))); done
for i in "${!sizes[@]}"; do
    printf '%d,' "${sizes[$i]}"
    head -c "${sizes[$i]}" /dev/zero | tr '\0' "\\$((101 + i % 20))"
    printf '%s' "${ends[$((i % 3))]}"
done >"$file"

# Without injection the scan reads the whole file cleanly.
strace -f -P "$file" -e trace=read -o "$work/reads" "${tovrek[@]}" "$file" 0 >/dev/null 2>&1 ||
    { echo "the uninjected run failed"; exit 1; }
reads=$(grep -c ' read(' "$work/reads")
passed=0
failed=0
expected_out=$(printf 'Searching for Record #0.\r\n' | od -An -c)
expected_tail=$(printf 'Error reading data file.\r\n' | od -An -c)
for ((n = 1; n <= reads; n++)); do
    timeout 20 strace -f -P "$file" -e trace=read -e "inject=read:error=EIO:when=$n" \
        -o "$work/log" "${tovrek[@]}" "$file" 0 >"$work/out" 2>"$work/err"
    status=$?
    tail_bytes=$(tail -c 26 "$work/err" | od -An -c)
    if [ "$status" -eq 1 ] && grep -q INJECTED "$work/log" &&
        [ "$(od -An -c <"$work/out")" = "$expected_out" ] && [ "$tail_bytes" = "$expected_tail" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "read $n of $reads: status $status"
    fi
done
echo "fault injection: $passed passed, $failed failed"
[ "$reads" -gt 5 ] && [ "$failed" -eq 0 ]
