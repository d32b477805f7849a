#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The settings window with the keyboard alone, the focus read as a screen reader reads it (from
# the accessibility bus): starting the program again opens the window with the keyboard in it;
# Tab goes through the rows and the commands; a date is picked from the calendar, a switch set,
# a note shown; Escape hides the window.
#   keyboard.sh PROGRAM [SCREENSHOT-FOLDER]
. "$(dirname "$0")/lib.sh"
program=${1:?usage: keyboard.sh PROGRAM}
shots=${2:-}
python=/usr/bin/python3
$python -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
session_start --no-audio --a11y

start_tackpad "$program" TACKPAD_SPEAKER=none
wait_for 10 tray_icon || die "no tray icon docked"
$python "$(dirname "$0")/focus-reader.py" Tackpad >"$SESSION_DIR/focus.log" 2>"$SESSION_DIR/log/reader.log" &
SESSION_PIDS+=($!)
wait_for 10 grep -q ready "$SESSION_DIR/focus.log" || die "the focus reader did not start"

focus() { tail -1 "$SESSION_DIR/focus.log"; }
heard() { wait_for 3 sh -c "tail -1 '$SESSION_DIR/focus.log' | grep -qF '|$1'"; }
# press KEY EXPECTED: the focus the screen reader reports after the key
press() {
    local lines
    lines=$(wc -l <"$SESSION_DIR/focus.log")
    xdotool key "$1"
    wait_for 3 sh -c "[ \$(wc -l <'$SESSION_DIR/focus.log') -gt $lines ]" ||
        die "after $1 the reader heard no focus (still: $(focus))"
    [[ $(focus) == *"|$2" ]] || die "after $1 the focus is on '$(focus)', not '$2'"
}
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"

env TACKPAD_SPEAKER=none "$program" || die "the second start failed"
wait_for 3 role_viewable frmMain || die "starting again did not open the settings window"
heard "Blue note" ||
    die "the window opened without the keyboard on the first note name: $(focus)"
log "started again: the reader hears $(focus)"

# The switches not yet available are on the way too.
order=()
for note in Blue Green Red; do
    [[ $note != Blue ]] && order+=("$note note")
    order+=("$note note date" "$note note date switch" "$note note hour setter"
        "$note note minute setter" "$note note time switch" "$note note show at start switch")
done
order+=("Hide settings to tray" "Instructions" "Ads" "Blue note")
for name in "${order[@]}"; do
    press Tab "$name"
    # The focus drawn on each kind of control, to look at.
    if [[ -n $shots && $name == @(Blue note hour setter|Blue note show at start switch|Ads) ]]; then
        mkdir -p "$shots" && screenshot "$shots/focus-${name// /-}.png"
    fi
done
log "Tab goes through ${#order[@]} stops and round again"

# The Red date: Shift+Tab back up to it, open its calendar, a day on, Enter.
for name in "Ads" "Instructions" "Hide settings to tray" "Red note show at start switch" \
    "Red note time switch" "Red note minute setter" "Red note hour setter" "Red note date switch" \
    "Red note date"; do
    press shift+Tab "$name"
done
if [[ -n $shots ]]; then
    mkdir -p "$shots" && screenshot "$shots/settings-keyboard.png"
fi
lines=$(wc -l <"$SESSION_DIR/focus.log")
xdotool key Return
wait_for 3 sh -c "tail -n +$((lines + 1)) '$SESSION_DIR/focus.log' | grep -qF '|Red note calendar days'" ||
    die "Enter did not open the calendar: $(focus)"
# The reader goes on to the day the calendar holds, by its whole date.
heard "$(LC_ALL=C date -d 2004-04-17 '+%A, %-d %B %Y')" || die "the day was not heard whole: $(focus)"
log "Enter opened the calendar: the reader hears $(focus)"
xdotool key Right Return
wait_for 3 grep -q '^Red="April 18, 2004"$' "$ini" || die "Enter in the calendar did not pick the day"
heard "Red note date" || die "after the pick the focus is on $(focus)"
# The date switch is available now, and next in the order: the switch itself.
press Tab "Red note date switch"
xdotool key space
wait_for 3 sh -c "grep -A3 '^\[Timer\]' '$ini' | grep -q '^Red=ON$'" || die "Space did not set the date switch"
log "a date picked and its switch set from the keyboard"

for name in "Red note date" "Red note"; do press shift+Tab "$name"; done
xdotool key Return
wait_for 5 role_viewable frmRed || die "Enter on the note name did not show the note"
# The note popped up when its switch was set; asked for, it comes with the keyboard.
wait_for 3 sh -c "[ \"\$(xdotool getwindowfocus)\" = $(window_role frmRed) ]" ||
    die "Enter on the note name did not bring the note to the keyboard"
log "Enter on the note name shows the note with the keyboard in it"
# The note is a window of its own; back in the settings window, Escape hides it.
env TACKPAD_SPEAKER=none "$program" || die "the third start failed"
wait_for 3 sh -c "[ \"\$(xdotool getwindowfocus)\" = $(window_role frmMain) ]" || die "the settings window did not get the keyboard back"
xdotool key Escape
wait_for 3 role_hidden frmMain || die "Escape did not hide the settings window"
echo "PASS"
