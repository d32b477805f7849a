#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Notes as layer surfaces, on sway or KWin without XWayland: shown at start, a note appears
# centred within 5 s (the time is printed), leaves the keys typed into a terminal there, sleeps at
# rest (no wake-up in 3 s; layer-rest.sh holds 150 s) and stays above a window opened later; it
# is in no task list (sway's tree, KWin's window list); one click lets it take typing, which
# lands in the settings file, and a click elsewhere gives the keyboard back; a drag moves it
# exactly with the pointer; a double click hides it; at an output scale of 1.5 it is drawn at
# that scale, its text crisp. On sway, a note opens on the output the person works on, stays
# wholly on it when it shrinks, and comes back onto a remaining one when it is unplugged; while
# sway has no output on, it refuses layer surfaces, and the notes are ordinary windows, said in
# one line.
#   layer.sh PROGRAM sway|kwin [WLPOINTER]
here=$(dirname "$0")
. "$here/../lib.sh"
. "$here/wl-lib.sh"
program=${1:?usage: layer.sh PROGRAM sway|kwin [WLPOINTER]}
comp=${2:?usage: layer.sh PROGRAM sway|kwin [WLPOINTER]}
wl_start "$comp" --no-xwayland --pointer "${3:-}"

# note_box: "X Y W H" of the Red note on the screen, nothing when none shows
note_box() { note_in "$(shot note)"; }
note_shown() { [[ -n $(note_box) ]]; }
note_gone() { [[ -z $(note_box) ]]; }
# Where the program's windows are listed to the person: sway's tree, KWin's window list with
# the states that keep a window off the task bar and the switcher.
listed() {
    if [[ $comp == sway ]]; then
        sway_windows
    else
        cat >"$SESSION_DIR/bin/list.js" <<'JS'
var cs = workspace.windowList();
for (var i = 0; i < cs.length; i++)
    if (cs[i].resourceClass.indexOf("tackpad") >= 0 && !(cs[i].skipTaskbar && cs[i].skipSwitcher))
        print("LISTED " + cs[i].resourceClass + " " + cs[i].caption);
print("LISTEND");
JS
        chmod 644 "$SESSION_DIR/bin/list.js"
        local n=$RANDOM
        as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
            org.kde.kwin.Scripting.loadScript string:"$SESSION_DIR/bin/list.js" string:l$n >/dev/null
        as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
        sleep 0.3
        as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
            org.kde.kwin.Scripting.unloadScript string:l$n >/dev/null
        grep -a -o 'LISTED .*' "$SESSION_DIR/log/kwin.log"
    fi
}
typed() { [[ $(tail -n 1 "$SESSION_DIR/home/$1") == "$2" ]]; } # typed NAME LINE: its last line
line() { # line TEXT: lowercase letters and Return, from one keyboard
    if [[ $comp == sway ]]; then as_user wtype -s 250 -d 30 "$1" -k Return; else typetext "$1"; enter; fi
}
terminal() { # terminal NAME: a big terminal that keeps the lines typed into it in home/NAME
    bg_user "$1" foot --log-level=info --app-id "$1" --window-size-pixels=1100x650 \
        sh -c "cat >$SESSION_DIR/home/$1"
    up() { grep -q 'cell width' "$SESSION_DIR/log/$1.log" 2>/dev/null; }
    wait_for 10 up "$1" || die "the terminal $1 did not open"
    # It takes keys once it has the keyboard and its keymap: type until it has.
    local tries=10
    until grep -q "$1\$" "$SESSION_DIR/home/$1"; do
        ((tries--)) || die "the terminal $1 takes no keys"
        line "$1"
        sleep 0.5
    done
}

terminal first
preset '[Always]' 'Red=ON'
# From the start to the note on screen, seen from outside: the middle of the screen shows it.
now_ms() { echo $(($(date +%s%N) / 1000000)); }
centre_is_note() { [[ $(pixel "$(shot centre)" $((WL_W / 2)) $((WL_H / 2))) == 255,128,128 ]]; }
t0=$(now_ms)
start_tackpad_wl "$program"
wait_for 10 centre_is_note || die "the Red note did not appear"
t=$(($(now_ms) - t0))
log "start to the note on screen: $t ms"
((t < 5000)) || die "the note took $t ms to appear"
look_for 3 note_shown || die "the Red note is not the note's size: $(note_box)"
read -r x y w h <<<"$(note_box)"
log "note at $x,$y ${w}x$h"
((x == (WL_W - w) / 2 || x == (WL_W - w + 1) / 2)) || die "the note is not centred across: $x"
grep -q 'XWayland\|layer' "$SESSION_DIR/log/tackpad.log" && die "the program said: $(cat "$SESSION_DIR/log/tackpad.log")"
sleep 0.5
line ls
wait_for 3 typed first ls || die "keys typed into the terminal went elsewhere: '$(cat "$SESSION_DIR/home/first")'"
grep -q '^\[Note\]' "$(ini)" && die "keys typed into the terminal went to the note"
[[ -z $(listed) ]] || die "the note is listed: $(listed)"

# Without a tray (KWin here) the settings window stands in for it after five seconds, an ordinary
# window that takes the keyboard, below the note: a person puts it away.
[[ $comp == kwin ]] && settings_away

# At rest the program sleeps: nothing wakes any of its threads.
ctx_switches() { awk '/ctxt_switches/ { n += $2 } END { print n + 0 }' /proc/"$TACKPAD_PID"/task/*/status; }
sleep 1
rest=$(ctx_switches)
sleep 3
(($(ctx_switches) == rest)) || die "at rest the program woke $(($(ctx_switches) - rest)) times in 3 s"

# A window opened later, over the note's place, is below it.
terminal second
[[ $(note_box) == "$x $y $w $h" ]] || die "a window opened later covers the note: $(note_box)"

# types_then_gives_back TEXT STORED LINE WHAT: after a click that gives the note the keyboard,
# TEXT typed lands in the settings file (a line matches the pattern STORED); a click into a
# terminal takes the keyboard back, and LINE typed goes there.
types_then_gives_back() {
    local pattern=$2 reply=$3
    sleep 0.3
    typetext "$1"
    stored() { grep -q "$pattern" "$(ini)"; }
    wait_for 3 stored || die "$4 did not take the typing: $(grep Red= "$(ini)")"
    click 200 300
    sleep 0.3
    line "$reply"
    back() { typed first "$reply" || typed second "$reply"; }
    wait_for 3 back || die "a click into a terminal did not take the keyboard back from $4"
}

# One click into the note, and typing goes there; a click into the terminal takes it back.
click $((x + 50)) $((y + 40))
types_then_gives_back "ring bo" '^Red=ring bo$' back "the clicked note"
grep -qx 'Red=ring bo' "$(ini)" || die "keys typed into the terminal went to the note"

# A drag by its text moves it exactly with the pointer.
drag $((x + 50)) $((y + 60)) 200 -120
sleep 0.5
read -r x2 y2 _ <<<"$(note_box)"
log "dragged from $x,$y to $x2,$y2"
((${x2:-0} - x >= 198 && x2 - x <= 202 && y - y2 >= 118 && y - y2 <= 122)) ||
    die "a drag by +200,-120 moved the note from $x,$y to ${x2:-?},${y2:-?}"

# On KWin, the note brought forward by its name in the settings window (which a second start
# opens) takes the keyboard at once; a click elsewhere takes it back. sway gives it from a click.
if [[ $comp == kwin ]]; then
    wl_env
    env -i "${WL_ENV[@]}" "${AS[@]}" env TACKPAD_SPEAKER=none "$SESSION_DIR/bin/tackpad" \
        >>"$SESSION_DIR/log/tackpad.log" 2>&1 || die "a second start did not hand over"
    name_box() { # "X Y W H" of the note's name in the settings window, in the note's colour
        red_patches "$(shot name)" | awk '$3 > 85 && $3 < 110 && $4 > 10 && $4 < 25' | sort -n | head -1
    }
    name_shown() { [[ -n $(name_box) ]]; }
    look_for 10 name_shown || die "a second start did not open the settings window"
    read -r nx ny nw nh <<<"$(name_box)"
    click $((nx + nw / 2)) $((ny + nh / 2))
    types_then_gives_back zq '^Red=.*zq' again "the note brought forward by its name"
fi

# sharpness PICTURE WxH+X+Y [ENLARGE%]: the spread of the Laplacian of the note's first lines
# in grey (higher is crisper)
sharpness() {
    local w=${2%%x*} h=${2#*x}
    h=${h%%+*}
    convert "$1" -crop "$2" +repage -crop "${w}x$((h * 2 / 5))+0+0" +repage -resize "${3:-100}%" \
        -colorspace gray -define convolve:scale='!' -morphology Convolve Laplacian:0 \
        -format '%[fx:standard_deviation]' info:
}
ptr abs 5 $((WL_H - 5)) # away from the note, whose tooltip would cover its text
sleep 1
read -r x2 y2 w h <<<"$(note_box)"
cp "$(shot note)" "$SESSION_DIR/log/scale1.ppm"

dclick $((x2 + 50)) $((y2 + 60))
look_for 3 note_gone || die "a double click did not hide the note"
kill -0 "$TACKPAD_PID" || die "the program ended"

# At an output scale of 1.5 the note is drawn at that scale: half as large again in pixels, and
# its text crisp. The measure falls with the scale: drawn at 1.5 the text keeps about 3/4 of its
# sharpness at scale 1, the picture at scale 1 merely enlarged (as a compositor enlarges a window
# drawn at scale 1) under half.
kill "$TACKPAD_PID"
wait "$TACKPAD_PID" 2>/dev/null
if [[ $comp == sway ]]; then
    as_user swaymsg output HEADLESS-1 scale 1.5 >/dev/null
else
    as_user kscreen-doctor output.X11-0.scale.1.5 >/dev/null 2>&1 || die "kscreen-doctor could not scale X11-0"
fi
start_tackpad_wl "$program"
big_box() { # WxH+X+Y of the note's colour on the screen
    convert "$(shot big)" -fill black +opaque 'rgb(255,128,128)' -format '%@' info: 2>/dev/null
}
big_shown() { [[ $(big_box) =~ ^([0-9]+)x([0-9]+)\+ ]] && ((BASH_REMATCH[1] > w)); }
look_for 10 big_shown || die "the note did not appear at scale 1.5: $(big_box)"
sleep 0.5
box=$(big_box)
cp "$SESSION_DIR/log/big.ppm" "$SESSION_DIR/log/scale15.ppm"
read -r W H <<<"$(echo "$box" | sed 's/^\([0-9]*\)x\([0-9]*\)+.*/\1 \2/')"
s1=$(sharpness "$SESSION_DIR/log/scale1.ppm" "${w}x$h+$x2+$y2")
s15=$(sharpness "$SESSION_DIR/log/scale15.ppm" "$box")
enlarged=$(sharpness "$SESSION_DIR/log/scale1.ppm" "${w}x$h+$x2+$y2" 150)
log "note ${w}x$h at scale 1, ${W}x$H at 1.5; text sharpness $s1 at scale 1, $s15 at 1.5, $enlarged enlarged"
((W * 2 >= w * 3 - 6 && W * 2 <= w * 3 + 6 && H * 2 >= h * 3 - 6 && H * 2 <= h * 3 + 6)) ||
    die "at scale 1.5 the note is ${W}x$H pixels, not half as large again as ${w}x$h"
awk -v a="$s15" -v b="$s1" 'BEGIN { exit !(a >= 0.6 * b) }' ||
    die "at scale 1.5 the text blurs: sharpness $s15 against $s1 at scale 1"
[[ $comp == sway ]] && as_user swaymsg output HEADLESS-1 scale 1 >/dev/null

if [[ $comp == sway ]]; then
    # A second output, where the person works: the note opens centred there, and comes back
    # wholly onto the first when the second is unplugged.
    kill "$TACKPAD_PID"
    wait "$TACKPAD_PID" 2>/dev/null
    as_user swaymsg create_output >/dev/null
    as_user swaymsg output HEADLESS-2 resolution ${WL_W}x$WL_H position $WL_W 0 >/dev/null
    as_user swaymsg focus output HEADLESS-2 >/dev/null
    start_tackpad_wl "$program"
    on_second() { as_user grim -o HEADLESS-2 "$SESSION_DIR/log/second.png" && note_in "$SESSION_DIR/log/second.png"; }
    shown_on_second() { [[ -n $(on_second) ]]; }
    look_for 10 shown_on_second || die "the note did not open on the output the person works on"
    read -r x y w h <<<"$(on_second)"
    ((x == (WL_W - w) / 2 || x == (WL_W - w + 1) / 2)) || die "the note is not centred on its output: $x"
    # That output shrinks (scale 2: half as wide and high), which would leave the centred note
    # half off it: the note comes wholly onto it, drawn twice as large.
    as_user swaymsg output HEADLESS-2 scale 2 >/dev/null
    whole_on_second() {
        as_user grim -o HEADLESS-2 "$SESSION_DIR/log/second.png" || return 1
        [[ $(convert "$SESSION_DIR/log/second.png" -fill black +opaque 'rgb(255,128,128)' -format '%@' info: 2>/dev/null) =~ ^([0-9]+)x([0-9]+) ]] &&
            ((BASH_REMATCH[1] >= 2 * w - 6 && BASH_REMATCH[2] >= 2 * h - 6))
    }
    look_for 5 whole_on_second || die "the note is not wholly on its output after it shrank"
    as_user swaymsg output HEADLESS-2 unplug >/dev/null
    look_for 5 note_shown || die "the note did not come back when its output was unplugged"
    read -r x y w h <<<"$(note_box)"
    log "back at $x,$y ${w}x$h"
    ((x >= 0 && y >= 0 && x + w <= WL_W && y + h <= WL_H)) || die "the note is not wholly on the output"

    # A compositor that offers layer surfaces but refuses one (sway, while it has no output on)
    # leaves the notes ordinary windows, said in one line: never a note that cannot be seen.
    kill "$TACKPAD_PID"
    wait "$TACKPAD_PID" 2>/dev/null
    as_user swaymsg output HEADLESS-1 disable >/dev/null
    : >"$SESSION_DIR/log/tackpad.log"
    start_tackpad_wl "$program"
    said() { [[ -s $SESSION_DIR/log/tackpad.log ]]; }
    wait_for 5 said || die "the refused surface was not told"
    as_user swaymsg output HEADLESS-1 enable >/dev/null
    look_for 10 note_shown || die "the note refused as a layer surface was not shown as a window"
    # Qt says apart that it has no output to show on.
    said=$(grep -v '^qt\.qpa\.wayland: There are no outputs' "$SESSION_DIR/log/tackpad.log")
    log "refused: $said"
    [[ $said == "tackpad: the compositor refused a note's layer surface (closed at once); notes are ordinary windows" ]] ||
        die "the refusal was not told in one line: $said"
fi
echo "PASS"
