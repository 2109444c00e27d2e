#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that a release binary carries Debian's hardening: PIE, full RELRO,
# the stack protector and fortified libc calls.
set -u
# The binary: $1, or the last word of TOVREK_TEST_TOOL.
read -r -a tool <<<"${TOVREK_TEST_TOOL:-$1}"
binary=${tool[-1]}
case $binary in
*.exe) echo "skipped: these are ELF checks; CI checks the exe's PE flags with objdump"
    exit 77 ;;
esac
failed=0
check() {
    if eval "$2"; then echo "ok: $1"; else echo "MISSING: $1"; failed=1; fi
}
check "PIE" "readelf -h '$binary' | grep -q 'Type:.*DYN'"
check "RELRO segment" "readelf -lW '$binary' | grep -q GNU_RELRO"
check "immediate binding" "readelf -dW '$binary' | grep -q -E 'BIND_NOW|FLAGS.*NOW'"
# Symbols of both tables, so that a static binary is checked too.
check "stack protector" "readelf -sW '$binary' | grep -q __stack_chk_fail"
check "fortified calls" "readelf -sW '$binary' | grep -q -E '__[a-z]+_chk'"
exit $failed
