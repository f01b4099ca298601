# Shell helpers the comparison scripts share; sourced, never run. The sourcing script sets
# wait_idle (seconds to wait for an idle machine; 0 waits not at all).

# Wall times come from /proc/uptime: a monotonic clock in 10 ms steps. Date-based times jump
# when the system clock is set, which happens on some virtual machines mid-run.
uptime_s() { cut -d' ' -f1 /proc/uptime; }
# Seconds all cores spent busy, to tell how much other processes took during a measurement.
busy_s() { awk -v hz="$(getconf CLK_TCK)" '$1 == "cpu" { print ($2 + $3 + $4 + $7 + $8 + $9) / hz; exit }' /proc/stat; }
calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }
value() { awk -v key="$2" '$1 == "=" && $2 == key { print $3 }' "$1"; }
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { tr ' ' '\n' | grep -v '^$' | sort -g | head -1; }
verdict() { if awk "BEGIN { exit !($1) }"; then echo "met"; else echo "MISSED"; fi; }
# Share of all cores, in per cent, other processes used between two busy_s readings.
others_pct() { # busy0 busy1 own_cpu_s wall_s
    awk -v o="$(calc "($2 - $1 - $3) / ($4 * $(nproc)) * 100" 0)" 'BEGIN { print (o > 0 ? o : 0) }'
}
wait_for_idle() {
    [ "$wait_idle" -gt 0 ] || return 0
    local deadline quiet=0 b0 b1
    deadline=$(calc "$(uptime_s) + $wait_idle" 0)
    while [ "$(calc "$(uptime_s)" 0)" -lt "$deadline" ]; do
        b0=$(busy_s); sleep 5; b1=$(busy_s)
        if awk "BEGIN { exit !(($b1 - $b0) / (5 * $(nproc)) < 0.10) }"; then quiet=$((quiet + 1)); else quiet=0; fi
        [ "$quiet" -ge 2 ] && return 0
    done
    echo "(the machine did not become idle within $wait_idle s; measuring anyway)"
}
