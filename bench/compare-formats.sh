#!/usr/bin/env bash
# Thumbnail builds of today's formats against vipsthumbnail on the same files in the same run:
# 40 PNG photos (2000 x 1500) and 20 HEIC pictures (4032 x 3024, no embedded thumbnails, so
# neither program can take a shortcut). Goal: our build within 1.5 x vipsthumbnail's wall time.
#
#   bench/compare-formats.sh [CACHE_DIR]     (default /tmp/vistrel-bench)
#   RUNS=5          builds per folder and vipsthumbnail runs (default 3)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${1:-/tmp/vistrel-bench}
runs=${RUNS:-3}
build=$repo/build-bench
bin=$build/bench/thumbnails_bench

for tool in vipsthumbnail heif-enc heif-info; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: tools/install-deps.sh, apt-get install libvips-tools" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    if [ ! -f "$build/CMakeCache.txt" ]; then (cd "$repo" && cmake --preset bench); fi
    cmake --build "$build" --target thumbnails_bench -j2
} >"$work/build.log" 2>&1 || { cat "$work/build.log"; echo "build failed" >&2; exit 1; }

calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }
value() { awk -v key="$2" '$1 == "=" && $2 == key { print $3 }' "$1"; }
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
uptime_s() { cut -d' ' -f1 /proc/uptime; }

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
summary=()
for kind in png heic; do
    "$bin" --dir "$cache" --only "$kind" --runs "$runs" | tee "$work/$kind.txt"
    files=("$cache/$kind"/*)
    if [ "$kind" = heic ]; then
        thumbs=0
        for f in "${files[@]}"; do
            thumbs=$((thumbs + $(heif-info "$f" | grep -c -i thumbnail || true)))
        done
        echo "  heif-info: $thumbs embedded thumbnails in ${#files[@]} files"
    fi
    out=$work/vips-$kind
    mkdir -p "$out"
    echo "== vipsthumbnail $(vipsthumbnail --version 2>/dev/null | head -1): ${#files[@]} files of $cache/$kind into 86x75"
    vipsthumbnail -s 86x75 -o "$out/%s.jpg" "${files[@]}" # warm-up, not counted
    walls="" cpus=""
    for r in $(seq "$runs"); do
        rm -f "$out"/*
        start=$(uptime_s)
        /usr/bin/time -f "%U %S %M" -o "$work/time.txt" vipsthumbnail -s 86x75 -o "$out/%s.jpg" "${files[@]}"
        end=$(uptime_s)
        read -r user sys maxrss <"$work/time.txt"
        wall=$(calc "$end - $start" 2)
        walls="$walls $wall"
        cpus="$cpus $(calc "$user + $sys" 2)"
        echo "  run $r: wall $wall s, CPU $(calc "$user + $sys" 2) s, peak RSS $(calc "$maxrss / 1024" 1) MB"
    done
    vips_wall=$(echo "$walls" | median)
    vips_cpu=$(echo "$cpus" | median)
    ours=$(value "$work/$kind.txt" "$kind.wall_median_s")
    ours_cpu=$(calc "$(value "$work/$kind.txt" "$kind.cpu_per_picture_ms") * ${#files[@]} / 1000" 2)
    ratio=$(calc "$ours / $vips_wall" 2)
    verdict=$(awk "BEGIN { print ($ratio <= 1.5) ? \"met\" : \"MISSED\" }")
    summary+=("  $kind: ours $ours s wall ($ours_cpu s CPU), vipsthumbnail $vips_wall s wall ($vips_cpu s CPU) -> ${ratio}x  [within 1.5x: $verdict]")
    echo
done
echo "== Summary (medians of $runs; load average now $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%s\n' "${summary[@]}"
