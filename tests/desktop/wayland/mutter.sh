#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A note on mutter (GNOME's compositor), nested in Xvfb. Through XWayland: shown at start it
# leaves the keys typed into a terminal there, typing into it lands in the settings file, a drag
# moves it, a double click hides it. Where XWayland refuses the program (no XAUTHORITY), it says
# so in one line and shows the note natively, which a drag moves and a double click hides.
#   mutter.sh PROGRAM
here=$(dirname "$0")
. "$here/../lib.sh"
. "$here/wl-lib.sh"
program=${1:?usage: mutter.sh PROGRAM}
wl_start mutter
[[ -n $WL_XAUTH ]] || die "mutter's XWayland left no XAUTHORITY file"

# note_box: "X Y W H" of the Red note on the screen, nothing when none shows
note_box() { note_in "$(shot note)"; }
# Without a tray the settings window comes after five seconds, above the note: a person puts it
# away, with a click into it and Escape. It is found by its Red oval.
settings_oval() {
    convert "$(shot settings)" -fill black +opaque 'rgb(255,128,128)' -define connected-components:verbose=true \
        -connected-components 8 null: 2>/dev/null | sed -n 's/^ *[0-9]*: 87x27+\([0-9]*\)+\([0-9]*\) .*/\1 \2/p' | head -1
}
settings_shown() { [[ -n $(settings_oval) ]]; }
put_settings_away() {
    local ox oy
    look_for 10 settings_shown || die "no settings window stood in for the missing tray"
    read -r ox oy <<<"$(settings_oval)"
    click $((ox - 566)) $((oy + 258))
    DISPLAY=$WL_OUTER xdotool key Escape
    settings_gone() { ! settings_shown; }
    look_for 3 settings_gone || die "Escape did not put the settings window away"
}
note_shown() { [[ -n $(note_box) ]]; }
note_gone() { [[ -z $(note_box) ]]; }
# moves_and_hides: a drag moves the note by about its length, a double click hides it
moves_and_hides() {
    local x y x2 y2
    read -r x y _ <<<"$(note_box)"
    drag $((x + 50)) $((y + 60)) 200 120
    sleep 0.3
    read -r x2 y2 _ <<<"$(note_box)"
    log "dragged from $x,$y to $x2,$y2"
    ((x2 - x > 170 && x2 - x <= 205 && y2 - y > 95 && y2 - y <= 125)) || die "the drag moved the note from $x,$y to $x2,$y2"
    dclick $((x2 + 50)) $((y2 + 60))
    look_for 3 note_gone || die "a double click did not hide the note"
}

terminal_up() { [[ -s $SESSION_DIR/log/foot.log ]] && grep -q 'cell width' "$SESSION_DIR/log/foot.log"; }
# foot 1.14 and later log their start-up at level info only when asked.
bg_user foot foot --log-level=info --app-id foot sh -c "cat >$SESSION_DIR/home/typed"
wait_for 10 terminal_up || die "the terminal did not open"
sleep 0.5
preset '[Always]' 'Red=ON'
start_tackpad_wl "$program"
look_for 10 note_shown || die "the Red note did not appear through XWayland"
as_user xdotool search --classname '^tackpad$' >/dev/null || die "the note is not an XWayland window"
DISPLAY=$WL_OUTER xdotool type --delay 30 ls
DISPLAY=$WL_OUTER xdotool key Return
typed() { [[ $(cat "$SESSION_DIR/home/typed") == ls ]]; }
wait_for 3 typed || die "keys typed into the terminal went elsewhere"
grep -q '^\[Note\]' "$(ini)" && die "keys typed into the terminal went to the note"
# A note that popped up by itself takes the keyboard from a click once the compositor has mapped
# it, half a second after it showed; a busy machine can show it to a screenshot sooner.
red_takes_input() {
    local w
    for w in $(as_user xdotool search --classname '^tackpad$'); do
        as_user xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"frmRed"' &&
            as_user xprop -id "$w" WM_HINTS | grep -q 'input or input focus: True' && return 0
    done
    return 1
}
wait_for 5 red_takes_input || die "the note never took input again"
# The settings window comes five seconds after the start; on a busy machine that can be while
# the person types into the note, so it is put away first.
put_settings_away
read -r x y w h <<<"$(note_box)"
click $((x + 50)) $((y + 40))
typetext "ring bo"
stored() { grep -qx 'Red=ring bo' "$(ini)"; }
wait_for 5 stored || die "typed text is not in the settings file: $(grep '^Red=' "$(ini)" | tr '\n' ' ')"
moves_and_hides
kill "$TACKPAD_PID"
wait "$TACKPAD_PID" 2>/dev/null

# Refused by XWayland: one line, and the note natively.
: >"$SESSION_DIR/log/tackpad.log"
WL_XAUTH="" start_tackpad_wl "$program"
look_for 10 note_shown || die "the Red note did not appear natively"
said=$(cat "$SESSION_DIR/log/tackpad.log")
log "said: $said"
[[ $said == "tackpad: cannot use XWayland on DISPLAY=$WL_X ("*"); going on with Wayland directly"* ]] ||
    die "the refusal was not told in one line"
(($(wc -l <<<"$said") == 1)) || die "more than one line about the refusal"
put_settings_away
moves_and_hides
kill -0 "$TACKPAD_PID" || die "the program ended"
echo "PASS"
