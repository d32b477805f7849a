#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by bench/run inside its desktop session. Prints "key value" lines:
# - wake-ups of all threads (context switches, voluntary and involuntary) in the first minute
#   after the three notes shown at start are on screen, then a minute over the time that follows,
#   and their count, while the notes are left alone: settings window hidden with nothing armed,
#   hidden with the six checks armed for later, and shown;
# - the delay from a reminder's minute to its note being mapped, under a faked wall clock.
# Needs $program, $bin, $ini, $applog and the functions of tests/desktop/lib.sh.
wake_seconds=${BENCH_WAKE_SECONDS:-150}
reminder_runs=${BENCH_REMINDER_RUNS:-10}
libfaketime=${LIBFAKETIME:-/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1}

ctx_switches() { awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' /proc/"$1"/task/*/status 2>/dev/null; }

stop_tackpad() {
    kill "$TACKPAD_PID" 2>/dev/null
    wait "$TACKPAD_PID" 2>/dev/null
    TACKPAD_PID=
}

wakeups() { # wakeups LABEL [settings]
    start_tackpad "$program" TACKPAD_SPEAKER=none
    wait_for 20 tray_icon || { echo "# $1: no tray icon" >&2; stop_tackpad; return 1; }
    for r in frmRed frmGreen frmBlue; do
        wait_for 10 role_viewable $r || { echo "# $1: $r not shown" >&2; stop_tackpad; return 1; }
    done
    if [[ ${2:-} == settings ]]; then
        local tx ty
        read -r tx ty <<<"$(tray_icon)"
        click "$tx" "$ty" 1
        wait_for 5 role_viewable frmMain || { echo "# $1: settings window not shown" >&2; stop_tackpad; return 1; }
    fi
    local first a b t0 t1
    first=$(ctx_switches "$TACKPAD_PID")
    sleep 60
    a=$(ctx_switches "$TACKPAD_PID") t0=$(date +%s.%N)
    sleep "$wake_seconds"
    b=$(ctx_switches "$TACKPAD_PID") t1=$(date +%s.%N)
    stop_tackpad
    awk -v l="$1" -v n=$((b - a)) -v f=$((a - first)) \
        -v s="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" 'BEGIN {
            printf "%s.wakeups_per_min %.1f\n%s.wakeups_seconds %.0f\n", l, n / s * 60, l, s
            printf "%s.first_minute %d\n%s.long_rest %d\n%s.long_rest_seconds %.0f\n", l, f, l, n, l, s }'
}

tomorrow=$(LC_ALL=C date -d tomorrow '+%B %d, %Y')
read -r hour minute <<<"$(date -d '1 minute ago' '+%-H %-M')"
{
    printf '[Always]\nRed=ON\nGreen=ON\nBlue=ON\n[Timer]\n'
    for c in Red Green Blue; do printf '%s=ON\n%s1=ON\n' $c $c; done
    printf '[Date]\n'
    for c in Red Green Blue; do printf '%s="%s"\n' $c "$tomorrow"; done
    printf '[Hour]\n'
    for c in Red Green Blue; do printf '%s=%s\n' $c "$hour"; done
    printf '[Min]\n'
    for c in Red Green Blue; do printf '%s=%s\n' $c "$minute"; done
} >"$ini"
step "wake-ups: ${wake_seconds} s, three notes left alone, six checks armed for later"
wakeups rest_armed
printf '[Always]\nRed=ON\nGreen=ON\nBlue=ON\n' >"$ini"
step "wake-ups: ${wake_seconds} s, three notes left alone, nothing armed"
wakeups rest
step "wake-ups: ${wake_seconds} s, three notes and the settings window shown"
wakeups settings_shown settings

# The faked clock reaches 10:00:00 four real seconds after each start; the Red note is set for it.
step "reminder delay: $reminder_runs starts under a faked clock, Red set for its next minute"
printf '[Hour]\nRed=10\n[Min]\nRed=0\n[Timer]\nRed1=ON\n' >"$ini"
minute_faked=$(date -d '2026-12-08 10:00:00' +%s)
delays=()
for ((i = 0; i < reminder_runs; i++)); do
    due=$(($(date +%s) + 4))
    mapped=$("$bin/bench_desktop" mapped --seconds 20 --roles frmRed --log "$applog" \
        -- env TACKPAD_SPEAKER=none LD_PRELOAD="$libfaketime" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        FAKETIME="$(printf '%+d' $((minute_faked - due)))" "$program" | sed -n 's/^mapped.realtime_ms //p')
    [[ -n $mapped ]] || { echo "# reminder delay: run $i did not map the note" >&2; continue; }
    delays+=("$(awk -v m="$mapped" -v d="$due" 'BEGIN { printf "%.1f", m - d * 1000 }')")
    echo "# reminder delay run $i: ${delays[-1]} ms"
done
((${#delays[@]})) && printf '%s\n' "${delays[@]}" | sort -n | awk '{ v[NR] = $1 } END { if (NR) printf "reminder.delay_median_ms %.1f\nreminder.delay_max_ms %.1f\n", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[NR] }'
