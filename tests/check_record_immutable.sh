#!/bin/sh
# A commissioning record that the machine will not let anyone write (an immutable file) is refused
# before anything runs, not found out at the first unit. Skipped where the flag cannot be set.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:?dist folder of this architecture}
work=$(mktemp -d)
record="$work/immutable.csv"
: >"$record"
if ! chattr +i "$record" 2>/dev/null; then
    echo "skipped: this machine cannot set the immutable flag"
    rm -rf "$work"
    exit 0
fi
trap 'chattr -i "$record"; rm -rf "$work"' EXIT
out=$("$root/tools/wine-run" "$dist/daxohost.exe" --bench "$root/app/scripts/one-unit.ini" \
    --script "$root/app/scripts/one-unit.script" --record "$record" 2>&1)
rc=$?
if [ $rc -eq 2 ] && echo "$out" | grep -q "cannot be written: it cannot be opened for appending"; then
    echo "ok   an immutable record is refused at start (exit 2)"
    exit 0
fi
echo "FAIL an immutable record: exit $rc"
echo "$out" | tail -5
exit 1
