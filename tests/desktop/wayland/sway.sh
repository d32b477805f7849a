#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A note on sway, through XWayland or natively: shown at start it floats, without a title bar,
# above a tiled terminal that keeps the keys typed into it, with three notes shown at start too
# (through XWayland; natively sway gives them to the note); typing into the note lands in the
# settings file, a drag moves it, a double click hides it; the bar's tray icon opens the settings
# window.
#   sway.sh PROGRAM WLPOINTER [--no-xwayland]
here=$(dirname "$0")
. "$here/../lib.sh"
. "$here/wl-lib.sh"
program=${1:?usage: sway.sh PROGRAM WLPOINTER [--no-xwayland]}
pointer=${2:-}
shift 2
wl_start sway --pointer "$pointer" "$@"
shell=xwayland
[[ -z $WL_X ]] && shell=xdg_shell

terminal_focused() { [[ $(sway_focused) == foot ]]; }
bg_user foot foot --app-id foot --title foot sh -c "cat >$SESSION_DIR/home/typed"
wait_for 10 terminal_focused || die "the terminal did not open"
typed() { [[ $(cat "$SESSION_DIR/home/typed") == "$1" ]]; }
if [[ -n $WL_X ]]; then
    # Three notes shown at start leave the keys typed into the terminal there, every one of them.
    preset '[Always]' 'Red=ON' 'Green=ON' 'Blue=ON'
    start_tackpad_wl "$program"
    three_up() { (($(sway_windows | wc -l) == 3)); }
    wait_for 10 three_up || die "the three notes did not appear"
    sleep 1.5
    as_user wtype -s 250 -d 30 ls -k Return
    wait_for 3 typed ls || die "keys typed into the terminal went elsewhere with three notes"
    grep -q '^\[Note\]' "$(ini)" && die "keys typed into the terminal went to a note"
    terminal_focused || die "the terminal lost the keyboard to the notes: $(sway_focused)"
    kill "$TACKPAD_PID"
    wait "$TACKPAD_PID" 2>/dev/null
    notes_gone() { [[ -z $(sway_windows) ]]; }
    wait_for 5 notes_gone || die "the notes outlived the program"
fi
preset '[Always]' 'Red=ON'
start_tackpad_wl "$program"
note_up() { [[ -n $(sway_windows) ]]; }
wait_for 10 note_up || die "the Red note did not appear"
sleep 0.3
read -r x y w h floating focused kind <<<"$(sway_windows)"
log "note at $x,$y ${w}x$h floating=$floating focused=$focused shell=$kind"
[[ $kind == "$shell" ]] || die "the note runs on $kind, not $shell"
((floating)) || die "the note is tiled"
((w == 114 && h == 126)) || die "note size ${w}x$h, expected 114x126"
png=$(shot note)
# sway's rectangle holds any title bar it draws: its top rows are the note's own colour.
[[ $(pixel "$png" $((x + w / 2)) $((y + 3))) == "255,128,128" ]] || die "the note has a title bar or no colour"
if [[ -n $WL_X ]]; then
    as_user wtype -s 250 -d 30 ls -k Return
    wait_for 3 typed $'ls\nls' || die "keys typed into the terminal went elsewhere"
    grep -q '^\[Note\]' "$(ini)" && die "keys typed into the terminal went to the note"
else
    # xdg-shell lets no window decline the keyboard: sway gives it to every window it maps.
    log "natively the note has the keyboard: $(sway_focused)"
fi

click $((x + 50)) $((y + 40))
typetext "ring bo"
stored() { grep -qx 'Red=ring bo' "$(ini)"; }
wait_for 3 stored || die "typed text is not in the settings file"

drag $((x + 50)) $((y + 60)) 200 -120
read -r x2 y2 _ <<<"$(sway_windows)"
log "dragged to $x2,$y2"
# The compositor's move starts past the drag distance: the note may trail by a step.
((x2 - x > 170 && x2 - x <= 205 && y - y2 > 95 && y - y2 <= 125)) || die "the drag moved the note from $x,$y to $x2,$y2"

dclick $((x2 + 50)) $((y2 + 60))
note_gone() { [[ -z $(sway_windows) ]]; }
wait_for 3 note_gone || die "a double click did not hide the note"
grep -qx 'Red=ring bo' "$(ini)" || die "the double click changed the stored text"

# The bar's tray has one icon, at its right end.
click $((WL_W - 11)) 11
settings_up() { sway_windows | grep -q ' 707 324 '; }
wait_for 5 settings_up || die "the tray icon did not open the settings window"
kill -0 "$TACKPAD_PID" || die "the program ended"
echo "PASS"
