#!/usr/bin/env bash
# Builds and runs thumbnails_bench, times vipsthumbnail and djpeg on the same files, and
# prints our figures against theirs and against the goals.
#
#   bench/compare-thumbnails.sh [CACHE_DIR]     (default /tmp/vistrel-bench)
#   RUNS=5          builds per folder and vipsthumbnail runs (default 3)
#   WAIT_IDLE=600   before each measurement wait up to that many seconds for the machine to be
#                   idle (other processes below 10 % for 10 s); default 0, do not wait
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${1:-/tmp/vistrel-bench}
runs=${RUNS:-3}
wait_idle=${WAIT_IDLE:-0}
repeat=20 # files per loader and djpeg measurement
pairs=3   # loader and djpeg measured in turn this many times; the best of each is compared
build=$repo/build-bench
bin=$build/bench/thumbnails_bench

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
command -v djpeg >/dev/null && command -v cjpeg >/dev/null || install_package libjpeg-turbo-progs
[ -x /usr/bin/time ] || install_package time # `command -v time` would find the bash keyword

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- build -------------------------------------------------------------------------------
# Quiet unless it fails: compiler warnings in other files are not this report's business.
{
    if [ ! -f "$build/CMakeCache.txt" ]; then (cd "$repo" && cmake --preset bench); fi
    cmake --build "$build" --target thumbnails_bench -j"$(nproc)"
} >"$work/build.log" 2>&1 || { cat "$work/build.log"; echo "build failed" >&2; exit 1; }

# --- helpers -------------------------------------------------------------------------------
. "$repo/bench/measure.sh"

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo

# --- our builds -----------------------------------------------------------------------------
# A process per folder, so each process peak belongs to one folder. The first call also
# generates the folders when the cache lacks them.
wait_for_idle
"$bin" --dir "$cache" --only mixed --runs "$runs" | tee "$work/mixed.txt"
echo
wait_for_idle
"$bin" --dir "$cache" --only many --many-runs 1 | tee "$work/many.txt"
echo

# --- vipsthumbnail on the mixed folder ---------------------------------------------------
files=("$cache"/mixed/*)
out=$work/vips
mkdir -p "$out"
wait_for_idle
echo "== vipsthumbnail $(vipsthumbnail --version 2>/dev/null | head -1): ${#files[@]} files of $cache/mixed into 86x75, default threads"
vipsthumbnail -s 86x75 -o "$out/%s.jpg" "${files[@]}" # warm-up, not counted
walls=""
vips_others_max=0
for r in $(seq "$runs"); do
    rm -f "$out"/*
    busy0=$(busy_s)
    start=$(uptime_s)
    /usr/bin/time -f "%U %S %M" -o "$work/vips-time.txt" vipsthumbnail -s 86x75 -o "$out/%s.jpg" "${files[@]}"
    end=$(uptime_s)
    busy1=$(busy_s)
    read -r user sys maxrss <"$work/vips-time.txt"
    wall=$(calc "$end - $start" 2)
    walls="$walls $wall"
    others=$(others_pct "$busy0" "$busy1" "$(calc "$user + $sys")" "$wall")
    vips_others_max=$(awk -v a="$vips_others_max" -v b="$others" 'BEGIN { print (b > a ? b : a) }')
    echo "  run $r: wall $wall s, CPU $(calc "$user + $sys" 2) s (user $user, sys $sys), peak RSS $(calc "$maxrss / 1024" 1) MB, $(ls "$out" | wc -l) thumbnails; other processes used $others% of the cores meanwhile"
done
vips_wall=$(echo "$walls" | median)
echo "  median wall $vips_wall s"
echo

# --- our loader and djpeg -scale 1/8, in turn ------------------------------------------------
# Measured alternately and the best of each compared: interference from other processes only
# ever adds CPU time (shared caches and cores), so the minimum is the fairest figure.
printf 'P6\n8 8\n255\n' >"$work/tiny.ppm"
head -c 192 /dev/zero >>"$work/tiny.ppm"
cjpeg -quality 90 "$work/tiny.ppm" >"$work/tiny.jpg"
cpu_of_loop() { # file -> user + sys seconds of $repeat djpeg runs
    local TIMEFORMAT='%3U %3S' times
    times=$({ time (for _ in $(seq "$repeat"); do djpeg -scale 1/8 "$1" >/dev/null; done); } 2>&1)
    echo "$times" | awk '{ print $1 + $2 }'
}
ours_all="" djpeg_all="" net_all=""
for p in $(seq "$pairs"); do
    wait_for_idle
    "$bin" --dir "$cache" --only loader --repeat "$repeat" | tee "$work/loader.txt"
    large=$(value "$work/loader.txt" loader.file)
    ours_all="$ours_all $(value "$work/loader.txt" loader.cpu_mean_ms)"
    djpeg -scale 1/8 "$large" >/dev/null # warm-up
    total=$(cpu_of_loop "$large")
    startup=$(cpu_of_loop "$work/tiny.jpg")
    djpeg_all="$djpeg_all $(calc "$total * 1000 / $repeat" 2)"
    net_all="$net_all $(calc "($total - $startup) * 1000 / $repeat" 2)"
    echo "== djpeg -scale 1/8 $(basename "$large"), $repeat times (CPU: user + sys of the children, from bash's time)"
    echo "  $(calc "$total * 1000 / $repeat" 2) ms CPU per file; process start-up and exit (the same on an 8x8 JPEG) $(calc "$startup * 1000 / $repeat" 2) ms"
    echo
done
our_loader=$(echo "$ours_all" | minimum)
djpeg_ms=$(echo "$djpeg_all" | minimum)
djpeg_net_ms=$(echo "$net_all" | minimum) # start-up subtracted within each turn

# --- the comparison ---------------------------------------------------------------------------
our_wall=$(value "$work/mixed.txt" mixed.wall_median_s)
our_first=$(value "$work/mixed.txt" mixed.wall_first_s)
unordered=$(value "$work/mixed.txt" mixed.unordered_wall_median_s)
mixed_above=$(value "$work/mixed.txt" mixed.peak_above_thumbnails_mb)
many_above=$(value "$work/many.txt" many.peak_above_thumbnails_mb)
many_peak=$(value "$work/many.txt" many.process_peak_rss_mb)
our_others=$(value "$work/mixed.txt" mixed.others_cpu_share_max)

speed=$(calc "$vips_wall / $our_wall" 2)
speed_first=$(calc "$vips_wall / $our_first" 2)
loader_ratio=$(calc "$our_loader / $djpeg_net_ms" 2)
loader_ratio_raw=$(calc "$our_loader / $djpeg_ms" 2)

echo "== Summary (goals in brackets)"
echo "  mixed folder wall: ours $our_wall s (median; first build $our_first s; the same loads unordered $unordered s), vipsthumbnail $vips_wall s"
echo "    -> ours is ${speed}x faster (${speed_first}x on the first build)  [at least 3x: $(verdict "$speed >= 3")]"
echo "  loader CPU per 4000x3000 JPEG (best of $pairs means of $repeat): ours $our_loader ms, djpeg -scale 1/8 $djpeg_net_ms ms without start-up ($djpeg_ms ms with)"
echo "    -> ratio ${loader_ratio} (${loader_ratio_raw} against djpeg with its start-up)  [within 1.2x: $(verdict "$loader_ratio <= 1.2")]"
echo "  peak memory above the thumbnails: mixed $mixed_above MB, 10,000 folder $many_above MB  [at most 64 MB: $(verdict "$mixed_above <= 64 && $many_above <= 64")]"
echo "  10,000 folder process peak RSS: $many_peak MB  [under 500 MB: $(verdict "$many_peak < 500")]"
worst=$(awk -v a="$(calc "$our_others * 100" 0)" -v b="$vips_others_max" 'BEGIN { print (b > a ? b : a) }')
if [ "$worst" -gt 10 ]; then
    echo "  WARNING: other processes used up to $worst% of the cores during the timed runs (ours $(calc "$our_others * 100" 0)%, vipsthumbnail $vips_others_max%);"
    echo "           wall times, and on shared cores CPU times too, are then pessimistic. Rerun on an idle machine (WAIT_IDLE=600)."
fi
