#!/bin/sh
# A row that a full disk cuts short is taken back: the record keeps its whole rows only, and
# the run fails. On a small file system of its own; skipped where nothing can be mounted.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:?dist folder of this architecture}
. "$root/tests/small_disk.sh"
mount_small_disk
record="$disk/commissioning.csv"
# 4,090 bytes of whole rows: the next row starts in the last page and needs another one.
{ printf 'time,serial,type,address,baud,parity,result,detail\r\n'
  i=0; while [ $i -lt 56 ]; do printf '2026-01-01 00:00:00,00000001,VX1205.10,1,9600,none,cancelled,\r\n'; i=$((i + 1)); done
} >"$record"
truncate -s 4090 "$record"
printf '\r\n' | dd of="$record" bs=1 seek=4088 conv=notrunc 2>/dev/null
before=$(md5sum <"$record")
dd if=/dev/zero of="$disk/filler" bs=4096 2>/dev/null
out=$("$root/tools/wine-run" "$dist/daxohost.exe" --bench "$root/app/scripts/one-unit.ini" \
    --script "$root/app/scripts/one-unit.script" --record "$record" 2>&1)
rc=$?
after=$(md5sum <"$record")
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }
check "the run fails (exit 1)" "[ $rc -eq 1 ]"
check "it says the row is lost" "echo \"\$out\" | grep -q 'the row of unit 00000712 is lost'"
check "the record is as it was, whole rows only" "[ '$before' = '$after' ]"
[ $fail -eq 0 ] || { echo "exit $rc; record ends with:"; tail -c 120 "$record" | od -c | tail -4; echo "$out" | tail -4; }
exit $fail
