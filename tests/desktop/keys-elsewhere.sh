#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Keys typed into another program stay there while Tackpad works: through its start with a note
# shown at start, the settings window standing in for a missing tray, and a reminder's minute;
# and keys typed into a note stay in the note while the window telling of a failed save appears.
#   keys-elsewhere.sh PROGRAM [--wm icewm|openbox]
. "$(dirname "$0")/lib.sh"
program=${1:?usage: keys-elsewhere.sh PROGRAM}
shift
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
[[ -e $faketime_lib ]] || skip "faketime is not installed"
command -v prlimit >/dev/null || skip "prlimit is not installed"
session_start --no-audio --no-tray --bare-bus "$@"
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
mkdir -p "$(dirname "$ini")"
printf '[Always]\nRed=ON\n[Hour]\nGreen=9\n[Min]\nGreen=5\n[Timer]\nGreen1=ON\n' >"$ini"
typist_start

# The Green note's minute comes 6 s after the start, the stand-in after the tray wait of 5 s.
# SIGXFSZ is ignored so that a file size limit set later makes writes fail instead of killing.
env TACKPAD_SPEAKER=none LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-08 09:04:54" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 bash -c "trap '' XFSZ; exec \"$program\"" \
    >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
TACKPAD_PID=$!
# A line every half second until all three have shown, and two more after the last.
all_shown() { role_viewable frmRed && role_viewable frmGreen && role_viewable frmMain; }
lines=0 after=0
while ((after < 2)); do
    lines=$((lines + 1))
    xdotool type --delay 20 "line $lines"
    xdotool key Return
    sleep 0.4
    if all_shown; then
        after=$((after + 1))
    elif ((lines >= 30)); then
        break
    fi
done
role_viewable frmRed || die "the Red note did not show at start"
role_viewable frmGreen || die "the Green note did not pop up at 09:05"
role_viewable frmMain || die "the settings window did not stand in for the tray"
sleep 0.3
got=$(wc -l <"$SESSION_DIR/typed.txt")
((got == lines)) || { cat "$SESSION_DIR/typed.txt"; die "$got of $lines lines reached the other program"; }
typist_has_focus || die "the other program lost the keyboard to $(xdotool getactivewindow getwindowname)"
grep -q '^\[Note\]' "$ini" && { cat "$ini"; die "keys typed elsewhere were stored in a note"; }
log "all $lines lines stayed in the other program; no note text stored"

# The person clicks into the Green note and types; saving fails in the middle of a word.
xdotool windowmove --sync "$(window_role frmGreen)" 900 100
read -r nx ny nw nh <<<"$(geometry "$(window_role frmGreen)")"
click $((nx + nw / 2)) $((ny + nh / 2))
xdotool type --delay 60 "first"
wait_for 3 grep -q '^Green=first$' "$ini" || { cat "$ini"; die "typing into the note was not stored"; }
prlimit --pid "$TACKPAD_PID" --fsize=$(($(stat -c %s "$ini") + 3)):unlimited
xdotool type --delay 150 " second"
wait_for 3 xdotool search --onlyvisible --name '^Tackpad cannot save your notes$' ||
    die "no window told of the failed save"
prlimit --pid "$TACKPAD_PID" --fsize=unlimited
# The save is tried again within a few seconds; the note had every key.
wait_for 6 grep -q '^Green=first second$' "$ini" ||
    { grep "^Green=" "$ini"; cat "$SESSION_DIR/log/tackpad.log"; die "keys typed into the note were lost when the message appeared"; }
log "the note kept every key while the message appeared"
echo "PASS"
