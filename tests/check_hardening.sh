#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that a release binary carries Debian's hardening: PIE, full RELRO,
# the stack protector and fortified libc calls.
set -u
binary=$1
failed=0
check() {
    if eval "$2"; then echo "ok: $1"; else echo "MISSING: $1"; failed=1; fi
}
check "PIE" "readelf -h '$binary' | grep -q 'Type:.*DYN'"
check "RELRO segment" "readelf -lW '$binary' | grep -q GNU_RELRO"
check "immediate binding" "readelf -dW '$binary' | grep -q -E 'BIND_NOW|FLAGS.*NOW'"
check "stack protector" "readelf --dyn-syms -W '$binary' | grep -q __stack_chk_fail"
check "fortified calls" "readelf --dyn-syms -W '$binary' | grep -q -E '__[a-z]+_chk'"
exit $failed
