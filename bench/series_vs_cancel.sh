#!/bin/bash
# Speed of a 50-unit series against 50 cancelled configuration dialogs: the cancelled calls
# carry only the cost of opening the dialog, so the ratio shows what the series adds on top.
# Usage: bench/series_vs_cancel.sh [BINARY_FOLDER] [PAIRS]   (PAIRS also SERIES_VS_CANCEL_PAIRS)
# Expects WINEPREFIX and DISPLAY of a prepared Wine prefix and a running X server (./daxo's
# start_wine). A speed figure only: it asserts no timing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
bin=$(cd "${1:-$root/dist/win64}" && pwd)
pairs=${2:-${SERIES_VS_CANCEL_PAIRS:-5}}

die() { echo "series_vs_cancel: $*" >&2; exit 1; }
[[ $pairs =~ ^[0-9]+$ ]] && (( pairs >= 5 )) || die "at least 5 pairs are needed for a median, not '$pairs'"
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || die "set WINEPREFIX and DISPLAY first"
[ -f "$bin/daxohost.exe" ] && [ -f "$bin/TestDAXO01.dll" ] || die "no daxohost.exe and TestDAXO01.dll in $bin"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine's Z: drive is the Unix root; a spelled-out drive spares a winepath process per run.
win() { printf 'Z:%s' "$1" | tr / '\\'; }

# One run of a kind; prints its wall time in milliseconds. A failed run ends the benchmark,
# since its time would measure a failure path rather than the work.
run() {
    local kind=$1 n=$2 out="$work/$1-$2"
    local start end rc=0
    start=$(date +%s%N)
    "$root/tools/wine-run" "$bin/daxohost.exe" --script "$(win "$here/series_vs_cancel-$kind.script")" \
        --bench "$(win "$here/series_vs_cancel.ini")" --calls "$3" \
        --log "$(win "$out.log")" --record "$(win "$out.csv")" >"$out.out" 2>&1 || rc=$?
    end=$(date +%s%N)
    if (( rc != 0 )); then
        tail -n 20 "$out.out" >&2
        die "$kind run $n failed with exit code $rc"
    fi
    echo $(( (end - start) / 1000000 ))
}

# Interleaved so that drift of the machine (other load, caches) touches both kinds alike.
: >"$work/series.ms"
: >"$work/cancel.ms"
for ((i = 1; i <= pairs; i++)); do
    s=$(run series "$i" 1)
    c=$(run cancel "$i" 50)
    echo "$s" >>"$work/series.ms"
    echo "$c" >>"$work/cancel.ms"
    printf 'pair %d: series %d ms, cancel %d ms\n' "$i" "$s" "$c"
done

stats() {
    sort -n "$1" | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%d %d %d\n", m, v[1], v[NR] }'
}
read -r sm smin smax < <(stats "$work/series.ms")
read -r cm cmin cmax < <(stats "$work/cancel.ms")
printf 'series of 50 units:    median %d ms (min %d, max %d)\n' "$sm" "$smin" "$smax"
printf '50 cancelled dialogs:  median %d ms (min %d, max %d)\n' "$cm" "$cmin" "$cmax"
awk -v s="$sm" -v c="$cm" 'BEGIN { printf "ratio series/cancel:   %.2f\n", s / c }'
