#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Time reminders set through the settings window as a person would: open it from the tray; with
# the keyboard only, move the Blue row's hour and minute bars and set its time switch; with the
# mouse, the Red row's; see both notes pop up. The clock starts at 02:58:05 (faketime), so one step
# on each bar reaches the minute from the bars' design values 1 and 59. Then a restart in French
# with a date written in German: the date still reads, and the Green note pops up.
#   reminder.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: reminder.sh PROGRAM}
command -v faketime >/dev/null || skip "faketime is not installed"
session_start --no-audio
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"

# Only the wall clock moves; Qt's timers keep the real monotonic clock.
env TACKPAD_SPEAKER=none FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "@2026-12-08 02:58:05" \
    "$program" >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
TACKPAD_PID=$!
wait_for 10 tray_icon || die "no tray icon docked"
read -r tx ty <<<"$(tray_icon)"
click "$tx" "$ty" 1
wait_for 5 role_viewable frmMain || die "the settings window did not open"
read -r mx my _ <<<"$(geometry "$(window_role frmMain)")"

# The window opens with the keyboard on the top row's note name; Tab goes on left to right,
# past the date field and its switch (unavailable without a date) to the hour bar.
xdotool key Tab sleep 0.1 key Tab sleep 0.1 key Tab sleep 0.1 key Down # Blue hour: 1 -> 2
wait_for 3 grep -q '^Blue=2$' "$ini" || { cat "$ini"; die "Down did not move the Blue hour bar"; }
xdotool key Tab sleep 0.1 key Prior # Blue minute: 59 -> 58, one step
wait_for 3 grep -q '^Blue=58$' "$ini" || { cat "$ini"; die "Page Up did not move the minute bar"; }
xdotool key Tab sleep 0.1 key space # the time switch chkBlue1
wait_for 3 grep -q '^Blue1=ON$' "$ini" || { cat "$ini"; die "Tab did not reach the time switch"; }
wait_for 3 role_viewable frmBlue || die "the Blue note did not pop up at 02:58"
log "Blue note set from the keyboard and popped up"
cx=$((mx + 1)) cy=$((my + 1)) # client area inside the one-pixel border
row=232                       # the Red row, 3480 twips

click $((cx + 424 + 8)) $((cy + row + 21)) # hour bar's lower arrow: 1 -> 2
click $((cx + 496 + 8)) $((cy + row + 4))  # minute bar's upper arrow: 59 -> 58
wait_for 3 grep -q '^Red=58$' "$ini" || { cat "$ini"; die "the minute was not stored"; }
grep -A3 '^\[Hour\]' "$ini" | grep -q '^Red=2$' || { cat "$ini"; die "the hour was not stored"; }
role_viewable frmRed && die "the note showed before its switch was set"

click $((cx + 552)) $((cy + row + 8)) # the time switch chkRed1
wait_for 3 grep -q '^Red1=ON$' "$ini" || { cat "$ini"; die "the time switch was not stored"; }
wait_for 3 role_viewable frmRed || die "the Red note did not pop up at 02:58"
log "Red note popped up at the preset minute"
cat "$ini"

click "$tx" "$ty" 3 # the tray menu's "&Close"
wait_for 3 role_viewable MnuMenu || die "the tray menu did not open"
xdotool key --delay 80 Down Down Down Down Down Return
wait_for 5 sh -c "! kill -0 $TACKPAD_PID 2>/dev/null" || die "Close did not end the program"
printf '[Date]\nGreen=Dezember 08, 2026\n[Timer]\nGreen=ON\n' >>"$ini"
env TACKPAD_SPEAKER=none LC_ALL=fr_FR.UTF-8 FAKETIME_DONT_FAKE_MONOTONIC=1 \
    faketime -f "@2026-12-08 03:10:00" "$program" >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
TACKPAD_PID=$!
wait_for 10 tray_icon || die "no tray icon docked after the restart"
wait_for 5 role_viewable frmGreen || die "a German date did not pop the Green note up in French"
log "German date read in French"
echo "PASS"
