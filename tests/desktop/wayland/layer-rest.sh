#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Notes as layer surfaces at rest, on sway and on KWin at once, without XWayland: from a few
# seconds after the note shows (and, on KWin, the settings window standing in for the tray is put
# away), nothing wakes any of the program's threads for 150 s. The test mostly sleeps.
#   layer-rest.sh PROGRAM WLPOINTER
here=$(dirname "$0")
. "$here/../lib.sh"
. "$here/wl-lib.sh"
program=${1:?usage: layer-rest.sh PROGRAM WLPOINTER}
pointer=${2:?usage: layer-rest.sh PROGRAM WLPOINTER}
seconds=150

rest() { # rest sway|kwin: a session of its own (run it in a subshell)
    wl_start "$1" --no-xwayland --pointer "$pointer"
    ptr abs 5 5 # away from the note, whose tooltip would come and go
    preset '[Always]' 'Red=ON'
    start_tackpad_wl "$program"
    centre_is_note() { [[ $(pixel "$(shot centre)" $((WL_W / 2)) $((WL_H / 2))) == 255,128,128 ]]; }
    wait_for 10 centre_is_note || die "$1: the Red note did not appear"
    [[ $1 == kwin ]] && settings_away
    sleep 5
    ctx_switches() { awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' /proc/"$TACKPAD_PID"/task/*/status; }
    local a b
    a=$(ctx_switches)
    sleep $seconds
    b=$(ctx_switches)
    log "$1: wake-ups in $seconds s at rest: $((b - a))"
    ((b == a)) || die "$1: at rest the program woke $((b - a)) times in $seconds s"
    kill -0 "$TACKPAD_PID" || die "$1: the program ended"
}

(rest sway) &
on_sway=$!
(rest kwin) &
on_kwin=$!
wait $on_sway
sway_status=$?
wait $on_kwin
kwin_status=$?
for s in $sway_status $kwin_status; do ((s == 0 || s == SKIP)) || exit 1; done
((sway_status == SKIP || kwin_status == SKIP)) && exit $SKIP
echo "PASS"
