#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A sleep over a reminder's minute: the Red note is set for 09:00 and the program runs at 08:58
# (libfaketime, file mode, so the wall clock can move while it runs). The program is stopped, the
# clock jumps to 09:20, the program continues: the note pops up at once, though its minute was
# never shown. Then the clock goes back to 08:59 and past 09:00 again: it stays hidden.
#   reminder-sleep.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: reminder-sleep.sh PROGRAM}
libfaketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[[ -f $libfaketime ]] || libfaketime=$(find /usr/lib* -name libfaketime.so.1 2>/dev/null | head -1)
[[ -f $libfaketime ]] || skip "libfaketime is not installed"
session_start --no-audio
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
mkdir -p "$(dirname "$ini")"
printf '[Hour]\nRed=9\n[Min]\nRed=0\n[Timer]\nRed1=ON\n' >"$ini"
clock="$SESSION_DIR/faketime"
echo "@2026-12-08 08:58:00" >"$clock"

start_tackpad "$program" TACKPAD_SPEAKER=none LD_PRELOAD="$libfaketime" \
    FAKETIME_TIMESTAMP_FILE="$clock" FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1
wait_for 10 tray_icon || die "no tray icon docked"
sleep 0.5
role_viewable frmRed && die "the Red note popped up before its minute"

kill -STOP "$TACKPAD_PID"
echo "@2026-12-08 09:20:00" >"$clock"
sleep 0.5
t0=$(date +%s%N)
kill -CONT "$TACKPAD_PID"
wait_for 5 role_viewable frmRed || die "the Red note did not pop up after the sleep over 09:00"
log "the note popped up $((($(date +%s%N) - t0) / 1000000)) ms after the program continued"

read -r x y _ <<<"$(geometry "$(window_role frmRed)")"
xdotool mousemove $((x + 60)) $((y + 60)) click --repeat 2 --delay 80 1
wait_for 3 role_hidden frmRed || die "a double click did not hide the note"
echo "@2026-12-08 08:59:58" >"$clock"
kill -STOP "$TACKPAD_PID"
kill -CONT "$TACKPAD_PID"
sleep 3 # over 09:00 once more
role_viewable frmRed && die "the note popped up again though it fired once"
echo "PASS"
