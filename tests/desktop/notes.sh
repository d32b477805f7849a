#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A person's use of a note on a real desktop: it opens at start, typing lands in the settings file
# at once, a drag moves it (a quick flick leaves no move behind), a resize keeps it covered by its
# text and stops where it can still be grabbed, pasted formatting comes in as plain text, a double
# click hides it.
#   notes.sh PROGRAM [--wm icewm|openbox]
. "$(dirname "$0")/lib.sh"
program=${1:?usage: notes.sh PROGRAM}
shift
session_start --no-audio "$@"

ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
mkdir -p "$(dirname "$ini")"
printf '[Always]\nRed=ON\n' >"$ini"
start_tackpad "$program" TACKPAD_SPEAKER=none
wait_for 10 role_viewable frmRed || die "the Red note did not appear"
red=$(window_role frmRed)
read -r x y w h <<<"$(geometry "$red")"
log "Red note at $x,$y size ${w}x$h"
((w == 114 && h == 126)) || die "note size ${w}x$h, expected 114x126"
# Openbox has no tray: five seconds after the start the settings window stands in for the icon,
# with the keyboard, and it may cover the note. A person puts it away before working in the note.
if [[ $* == *openbox* ]]; then
    wait_for 8 role_viewable frmMain || die "no settings window stood in for the missing tray"
    # It takes the keyboard only once it is on screen: a person tries again.
    for try in 1 2 3; do
        xdotool windowactivate --sync "$(window_role frmMain)" key Escape
        wait_for 1 role_hidden frmMain && break
    done
    role_hidden frmMain || die "Escape did not put the settings window away"
fi
# Centred on the 1280x800 screen (the taskbar takes the bottom rows of the work area).
((x > 560 && x < 600 && y > 300 && y < 360)) || die "note not centred: $x,$y"
# Mapped is not yet drawn: on a busy machine the first paint comes a little later.
coloured() { [[ $(pixel $((x + 60)) $((y + 100))) == "255,128,128" ]]; }
wait_for 3 coloured || die "note colour $(pixel $((x + 60)) $((y + 100)))"
xprop -id "$red" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || die "note has a taskbar button"
xprop -id "$red" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || die "note is not kept on top"

click $((x + 50)) $((y + 40))
[[ $(geometry "$red") == "$x $y $w $h" ]] || die "a click moved the note to $(geometry "$red")"
xdotool type --delay 40 "Dentist 9:30"
xdotool key Return
xdotool type --delay 40 "Ring Bo"
sleep 0.2
grep -q '^Red=Dentist 9:30\\nRing Bo$' "$ini" || { cat "$ini"; die "typed text is not in the settings file"; }
log "typed text stored: $(grep '^Red=D' "$ini")"

# The window manager's move starts only once the pointer has passed the drag distance, yet the
# note ends as far from where it was as the pointer went, with any button.
near() { (($1 - $2 <= 2 && $2 - $1 <= 2)); }
for step in "200 -120 1" "-96 80 3"; do
    read -r dx dy button <<<"$step"
    read -r x y _ <<<"$(geometry "$red")"
    drag $((x + 50)) $((y + 60)) "$dx" "$dy" "$button"
    sleep 0.3
    read -r x2 y2 _ <<<"$(geometry "$red")"
    log "button $button dragged by $dx,$dy: moved by $((x2 - x)),$((y2 - y))"
    near $((x2 - x)) "$dx" && near $((y2 - y)) "$dy" || die "a drag by $dx,$dy moved the note by $((x2 - x)),$((y2 - y))"
done

# Resize by the bottom-right border band.
drag $((x2 + w - 2)) $((y2 + h - 2)) 80 60
sleep 0.3
read -r _ _ w3 h3 <<<"$(geometry "$red")"
log "resized to ${w3}x$h3"
((w3 > w + 40 && h3 > h + 30)) || die "resize by the border did not grow the note (${w3}x$h3)"
[[ $(pixel $((x2 + w3 - 8)) $((y2 + h3 - 8))) == "255,128,128" ]] || die "the note's corner is not covered by its text box"
screenshot "$SESSION_DIR/notes.png"

# Shrunk as far as the pointer goes, it stays big enough to see, grab and move.
moved_from() { [[ "$(geometry "$red")" != "$1" ]]; }
drag_and_wait() { # drag_and_wait X Y DX DY: a drag, then until the window manager has done it
    local before
    before=$(geometry "$red")
    drag "$@"
    wait_for 3 moved_from "$before" || die "a drag at $1,$2 by $3,$4 changed nothing"
    sleep 0.2
}
drag_and_wait $((x2 + w3 - 2)) $((y2 + h3 - 2)) -300 -300
read -r x4 y4 w4 h4 <<<"$(geometry "$red")"
log "shrunk to ${w4}x$h4"
((w4 >= 40 && h4 >= 40 && w4 < w3 && h4 < h3)) || die "shrinking left a note of ${w4}x$h4"
drag_and_wait $((x4 + w4 / 2)) $((y4 + h4 / 2)) -100 0
read -r x5 y5 _ <<<"$(geometry "$red")"
((x4 - x5 > 70)) || die "the shrunk note could not be moved ($x4 -> $x5)"
# Back to a size to work in.
xdotool windowsize "$red" 160 140
sleep 0.3
read -r x2 y2 w h <<<"$(geometry "$red")"

# A quick flick, released before the window manager took the pointer, leaves no move behind
# that would carry the note on with the pointer (openbox heeds the cancel; icewm does not).
if [[ $* == *openbox* ]]; then
    xdotool mousemove $((x2 + 50)) $((y2 + 60)) sleep 0.05 mousedown 1 \
        mousemove $((x2 + 80)) $((y2 + 60)) mouseup 1
    sleep 0.5
    xdotool mousemove $((x2 + 300)) $((y2 + 200))
    sleep 0.5
    read -r fx fy _ <<<"$(geometry "$red")"
    ((fx - x2 < 60 && fy - y2 < 60)) || die "after a quick flick the note went on to $fx,$fy"
    read -r x2 y2 w h <<<"$(geometry "$red")"
fi

# Formatted text pasted comes in as its plain text, and that is what is stored.
if command -v xclip >/dev/null; then
    printf '<b style="background:yellow">Bold</b><img src="file:///nonexistent.png"> <i>tail</i>' |
        xclip -selection clipboard -t text/html &
    offered() { xclip -selection clipboard -o -t TARGETS | grep -qx text/html; }
    wait_for 3 offered || die "xclip did not take the clipboard"
    click $((x2 + w - 20)) $((y2 + h - 20))
    # A busy window manager hands the keyboard over a little after the click.
    focused() { [[ $(xdotool getwindowfocus) == "$red" ]]; }
    wait_for 3 focused || die "a click did not give the note the keyboard"
    xdotool key ctrl+End ctrl+v
    pasted() { grep -q '^Red=Dentist.*Bold' "$ini"; }
    wait_for 3 pasted || die "the pasted text was not stored"
    line=$(grep '^Red=Dentist' "$ini")
    log "after pasting formatted text: $line"
    [[ $line == 'Red=Dentist 9:30\nRing Bo'* ]] || die "the paste changed the text before it"
    grep -q $'\xef\xbf\xbc' "$ini" && die "an object placeholder was stored"
    [[ $line == *Bold* ]] || die "the pasted text was not stored"
    # The note shows no bold and no yellow: only the note's colour and black text are left.
    screenshot "$SESSION_DIR/pasted.png"
    yellow=$(convert "$SESSION_DIR/pasted.png" -crop ${w}x$h+$x2+$y2 -fill black +opaque yellow \
        -format '%[fx:mean>0?1:0]' info:)
    [[ $yellow == 0 ]] || die "pasted formatting shows on the note"
else
    [[ -n ${CI:-} ]] && die "xclip is missing"
    log "xclip is missing: no paste on the desktop"
fi

stored=$(grep '^Red=Dentist' "$ini")
read -r x2 y2 w h <<<"$(geometry "$red")"
log "double click in the note at $x2,$y2 ${w}x$h"
xdotool mousemove $((x2 + w / 2)) $((y2 + h / 2)) click --repeat 2 --delay 80 1
wait_for 3 role_hidden frmRed || die "double click did not hide the note"
[[ $(grep '^Red=Dentist' "$ini") == "$stored" ]] || die "double click changed the stored text"
kill -0 "$TACKPAD_PID" || die "the program ended"
echo "PASS"
