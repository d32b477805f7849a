#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Notes on Wayland side by side: natively as layer surfaces and through XWayland, on headless sway
# and on KWin nested in Xvfb. For each, prints "key value" lines:
# - start to the first note on screen: from the program's start until the middle of the screen
#   shows the note's colour in a screenshot (polled, so up to one shot late), median of N starts;
# - wake-ups of all its threads (context switches) in the first minute after the note showed,
#   then at rest over S seconds, the note shown;
# - the sharpness of the note's text at an output scale of 1.5: the standard deviation of a
#   Laplacian of its first line in grey (higher is crisper), as the compositor shows it.
#   bench/wayland.sh PROGRAM WLPOINTER     (a build with layer-shell-qt; as root, or as a user
#                                           that may run the compositors)
# BENCH_RUNS (N, default 5), BENCH_WAKE_SECONDS (S, default 150), BENCH_SETTLE_SECONDS (the first
# minute, default 60), BENCH_COMPOSITORS ("sway kwin"), BENCH_PATHS ("layer xwayland").
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/desktop/lib.sh"
. "$here/../tests/desktop/wayland/wl-lib.sh"
program=$(readlink -f "${1:?usage: wayland.sh PROGRAM WLPOINTER}")
pointer=$(readlink -f "${2:?usage: wayland.sh PROGRAM WLPOINTER}")
runs=${BENCH_RUNS:-5}
wake_seconds=${BENCH_WAKE_SECONDS:-150}
settle_seconds=${BENCH_SETTLE_SECONDS:-60}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ctx_switches() { awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' /proc/"$1"/task/*/status 2>/dev/null; }
centre_is_note() { [[ $(pixel "$(shot centre)" $((WL_W / 2)) $((WL_H / 2))) == 255,128,128 ]]; }
stop_tackpad() {
    kill "$TACKPAD_PID" 2>/dev/null
    wait "$TACKPAD_PID" 2>/dev/null
}
# Without a tray (KWin here) the settings window stands in for it after five seconds: put away.
settings_away() {
    [[ $WL_COMP == kwin ]] || return 0
    sleep 6
    DISPLAY=$WL_OUTER xdotool key Escape
    sleep 1
}

measure() { # measure sway|kwin layer|xwayland
    local comp=$1 path=$2 label="$1 $2" i t0 times=() a b
    local args=(--pointer "$pointer")
    [[ $path == layer ]] && args+=(--no-xwayland)
    wl_start "$comp" "${args[@]}" >/dev/null 2>&1 || { echo "# $label: the compositor did not start"; return; }
    [[ $path == xwayland ]] && export TACKPAD_QPA=xcb || unset TACKPAD_QPA
    # The pointer rests away from the note: over it, the note's tooltip comes and goes.
    ptr abs 5 5

    for ((i = 0; i < runs; i++)); do
        preset '[Always]' 'Red=ON'
        t0=$(now_ms)
        start_tackpad_wl "$program"
        wait_for 10 centre_is_note || { echo "# $label: the note did not appear"; stop_tackpad; return; }
        times+=($(($(now_ms) - t0)))
        stop_tackpad
    done
    echo "$label: start to the note on screen, median ms $(printf '%s\n' "${times[@]}" | median)"
    echo "$label: start to the note on screen, all ms ${times[*]}"

    start_tackpad_wl "$program"
    wait_for 10 centre_is_note || { echo "# $label: the note did not appear"; return; }
    settings_away
    a=$(ctx_switches "$TACKPAD_PID")
    sleep "$settle_seconds"
    b=$(ctx_switches "$TACKPAD_PID")
    echo "$label: wake-ups in the first $settle_seconds s after the note showed $((b - a))"
    sleep "$wake_seconds"
    a=$(ctx_switches "$TACKPAD_PID")
    echo "$label: then at rest, wake-ups in $wake_seconds s $((a - b))"
    stop_tackpad

    if [[ $comp == sway ]]; then
        as_user swaymsg output HEADLESS-1 scale 1.5 >/dev/null
    else
        as_user kscreen-doctor output.X11-0.scale.1.5 >/dev/null 2>&1
    fi
    sleep 1
    preset '[Always]' 'Red=ON' '[Note]' 'Red=Sharp 1.5x? Wg'
    start_tackpad_wl "$program"
    sleep 4
    local f box w h
    f=$(shot sharp)
    box=$(convert "$f" -fill black +opaque 'rgb(255,128,128)' -format '%@' info:)
    if [[ $box =~ ^([0-9]+)x([0-9]+)\+ ]]; then
        w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
        echo "$label: note at scale 1.5, pixels ${w}x$h"
        echo "$label: text sharpness at scale 1.5 $(convert "$f" -crop "$box" +repage \
            -crop "${w}x$((h * 2 / 5))+0+0" +repage -colorspace gray -define convolve:scale='!' \
            -morphology Convolve Laplacian:0 -format '%[fx:standard_deviation]' info:)"
    else
        echo "# $label: no note at scale 1.5"
    fi
    stop_tackpad
}

echo "# Qt $(/usr/bin/qtpaths6 --qt-version 2>/dev/null), $(sway --version 2>/dev/null), $(kwin_wayland --version 2>/dev/null)"
for comp in ${BENCH_COMPOSITORS:-sway kwin}; do
    for path in ${BENCH_PATHS:-layer xwayland}; do
        (measure "$comp" "$path")
    done
done
