#!/usr/bin/env bash
# Builds and runs camerafolder_bench, times vipsthumbnail on the same camera folder, and
# prints our first and second visits against it and against the goals. With BASELINE set,
# also builds thumbnails_bench from that commit and compares the mixed folder's build.
#
#   bench/compare-camerafolder.sh [CACHE_DIR]     (default /tmp/vistrel-bench)
#   RUNS=5          builds per visit and vipsthumbnail runs (default 3)
#   BASELINE=REF    a commit whose thumbnails_bench gives "today's" mixed-folder figure
#                   (built once under CACHE_DIR/baseline-<hash>; takes a while the first time)
#   WAIT_IDLE=600   before each measurement wait up to that many seconds for the machine to be
#                   idle (other processes below 10 % for 10 s); default 0, do not wait
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${1:-/tmp/vistrel-bench}
runs=${RUNS:-3}
wait_idle=${WAIT_IDLE:-0}
baseline=${BASELINE:-}
build=$repo/build-bench

# --- tools -------------------------------------------------------------------------------
install_package() {
    echo "Installing $1 ..."
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "$1" >/dev/null ||
        { DEBIAN_FRONTEND=noninteractive $sudo apt-get update >/dev/null &&
          DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "$1" >/dev/null; }
}
command -v vipsthumbnail >/dev/null || install_package libvips-tools
command -v convert >/dev/null || install_package imagemagick
command -v exiftool >/dev/null || install_package libimage-exiftool-perl
[ -x /usr/bin/time ] || install_package time # `command -v time` would find the bash keyword

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$cache"

# --- build -------------------------------------------------------------------------------
jobs=$(nproc)
{
    if [ ! -f "$build/CMakeCache.txt" ]; then (cd "$repo" && cmake --preset bench); fi
    cmake --build "$build" --target camerafolder_bench thumbnails_bench -j"$jobs"
} >"$work/build.log" 2>&1 || { cat "$work/build.log"; echo "build failed" >&2; exit 1; }
base_bin=
if [ -n "$baseline" ]; then
    hash=$(git -C "$repo" rev-parse --short "$baseline^{commit}")
    base=$cache/baseline-$hash
    if [ ! -x "$base/build-bench/bench/thumbnails_bench" ]; then
        echo "Building thumbnails_bench of $baseline ($hash) in $base ..."
        rm -rf "$base" && mkdir -p "$base/src"
        git -C "$repo" archive "$hash" | tar -x -C "$base/src"
        {
            cmake -S "$base/src" -B "$base/build-bench" -DCMAKE_BUILD_TYPE=Release \
                -DVISTREL_BENCH=ON -DVISTREL_TESTS=OFF
            cmake --build "$base/build-bench" --target thumbnails_bench -j"$jobs"
        } >"$work/baseline.log" 2>&1 || { cat "$work/baseline.log"; echo "baseline build failed" >&2; exit 1; }
    fi
    base_bin=$base/build-bench/bench/thumbnails_bench
fi

# --- helpers -------------------------------------------------------------------------------
. "$repo/bench/measure.sh"

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo

# --- the mixed folder: this tree's builder, and the baseline's --------------------------------
# thumbnails_bench makes the mixed folder when it is missing; its builds go through the loader
# alone, as the grid did before the cache.
new_walls="" base_walls=""
for turn in 1 2 3; do
    if [ -n "$base_bin" ]; then
        wait_for_idle
        "$base_bin" --dir "$cache" --only mixed --runs "$runs" >"$work/base-mixed.txt"
        base_walls="$base_walls $(value "$work/base-mixed.txt" mixed.wall_median_s)"
        echo "baseline $baseline, turn $turn: mixed folder median wall $(value "$work/base-mixed.txt" mixed.wall_median_s) s; other processes up to $(calc "$(value "$work/base-mixed.txt" mixed.others_cpu_share_max) * 100" 0)% of the cores"
    fi
    wait_for_idle
    "$build/bench/thumbnails_bench" --dir "$cache" --only mixed --runs "$runs" >"$work/new-mixed.txt"
    new_walls="$new_walls $(value "$work/new-mixed.txt" mixed.wall_median_s)"
    echo "this tree, turn $turn: mixed folder median wall $(value "$work/new-mixed.txt" mixed.wall_median_s) s; other processes up to $(calc "$(value "$work/new-mixed.txt" mixed.others_cpu_share_max) * 100" 0)% of the cores"
    [ -n "$base_bin" ] || break
done
echo

# --- the camera folder --------------------------------------------------------------------
wait_for_idle
"$build/bench/camerafolder_bench" --dir "$cache" --runs "$runs" | tee "$work/camera.txt"
echo

files=("$cache"/camera/*)
out=$work/vips
mkdir -p "$out"
wait_for_idle
echo "== vipsthumbnail $(vipsthumbnail --version 2>/dev/null | head -1): ${#files[@]} files of $cache/camera into 128x128 (the cache's normal size), default threads"
vipsthumbnail -s 128x128 -o "$out/%s.jpg" "${files[@]}" # warm-up, not counted
walls=""
vips_others_max=0
for r in $(seq "$runs"); do
    rm -f "$out"/*
    busy0=$(busy_s)
    start=$(uptime_s)
    /usr/bin/time -f "%U %S" -o "$work/vips-time.txt" vipsthumbnail -s 128x128 -o "$out/%s.jpg" "${files[@]}"
    end=$(uptime_s)
    busy1=$(busy_s)
    read -r user sys <"$work/vips-time.txt"
    wall=$(calc "$end - $start" 2)
    walls="$walls $wall"
    others=$(others_pct "$busy0" "$busy1" "$(calc "$user + $sys")" "$wall")
    vips_others_max=$(awk -v a="$vips_others_max" -v b="$others" 'BEGIN { print (b > a ? b : a) }')
    echo "  run $r: wall $wall s, CPU $(calc "$user + $sys" 2) s (user $user, sys $sys), $(ls "$out" | wc -l) thumbnails; other processes used $others% of the cores meanwhile"
done
vips_wall=$(echo "$walls" | median)
echo "  median wall $vips_wall s"
echo

# --- the comparison ---------------------------------------------------------------------------
first=$(value "$work/camera.txt" camera.first_wall_median_s)
first_first=$(value "$work/camera.txt" camera.first_wall_first_s)
second=$(value "$work/camera.txt" camera.second_wall_median_s)
served=$(value "$work/camera.txt" camera.exif_served)
our_others=$(value "$work/camera.txt" others_cpu_share_max)
echo "== Summary (goals in brackets)"
echo "  camera folder, ${#files[@]} files; $served served by their EXIF thumbnail"
echo "  first visit, empty cache: $first s (median; the process's first build $first_first s); vipsthumbnail $vips_wall s"
echo "    -> $(calc "$vips_wall / $first" 1)x faster  [at least 10x: $(verdict "$vips_wall / $first >= 10")]"
echo "  second visit, cache warm: $second s"
echo "    -> $(calc "$vips_wall / $second" 1)x faster  [at least 20x: $(verdict "$vips_wall / $second >= 20")]"
# Other processes only ever add time: each side's best turn is compared.
new_mixed=$(echo "$new_walls" | minimum)
if [ -n "$base_bin" ]; then
    base_mixed=$(echo "$base_walls" | minimum)
    echo "  mixed folder (no EXIF thumbnails): this tree $new_mixed s, $baseline $base_mixed s (best turn's median of each)"
    echo "    -> ratio $(calc "$new_mixed / $base_mixed" 3)  [no slower, within 5 % run-to-run noise: $(verdict "$new_mixed <= $base_mixed * 1.05")]"
else
    echo "  mixed folder (no EXIF thumbnails): $new_mixed s; set BASELINE=<commit> to compare with an earlier build"
fi
echo "  looking for EXIF thumbnails in every mixed file costs $(value "$work/camera.txt" mixed.exif_look_ms) ms CPU in all"
worst=$(awk -v a="$(calc "$our_others * 100" 0)" -v b="$vips_others_max" 'BEGIN { print (b > a ? b : a) }')
if [ "$worst" -gt 10 ]; then
    echo "  WARNING: other processes used up to $worst% of the cores during the timed runs;"
    echo "           wall times are then pessimistic. Rerun on an idle machine (WAIT_IDLE=600)."
fi
