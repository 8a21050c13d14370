#!/bin/sh
# A translation exported over an old one on a full disk leaves the old one whole, and a new one
# leaves no file: never a fragment where a translator's work was. On a small file system of its
# own; skipped where nothing can be mounted.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:?dist folder of this architecture}
. "$root/tests/small_disk.sh"
mount_small_disk
cp "$root/lang/cs.xml" "$disk/de.xml"
before=$(md5sum <"$disk/de.xml")
dd if=/dev/zero of="$disk/filler" bs=4096 2>/dev/null
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }
out=$("$root/tools/wine-run" "$dist/daxohost.exe" --export-lang "$disk/de.xml" --replace 2>&1)
rc=$?
check "over the old file: exit 2" "[ $rc -eq 2 ]"
check "it says why and that the old file is kept" "echo \"\$out\" | grep -q 'cannot be written: .*The file there is as it was'"
check "the old file is whole" "[ '$before' = '$(md5sum <"$disk/de.xml")' ]"
out=$("$root/tools/wine-run" "$dist/daxohost.exe" --export-lang "$disk/fr.xml" 2>&1)
rc=$?
check "a new file: exit 2" "[ $rc -eq 2 ]"
check "no new file is left" "[ ! -e '$disk/fr.xml' ]"
check "no temporary file is left" "[ -z \"\$(ls '$disk' | grep -v -e '^de.xml$' -e '^filler$')\" ]"
[ $fail -eq 0 ] || { ls -la "$disk"; echo "$out" | tail -4; }
exit $fail
