#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A note as a layer surface on KWin with two outputs, without XWayland: when the output it is on
# shrinks, it stays wholly on it; when that output is switched off, it comes back wholly on the
# remaining one. What KWin itself says of its outputs and windows is the judge.
#   layer-outputs.sh PROGRAM
here=$(dirname "$0")
. "$here/../lib.sh"
. "$here/wl-lib.sh"
program=${1:?usage: layer-outputs.sh PROGRAM}
command -v kscreen-doctor >/dev/null || skip "kscreen-doctor is not installed"
wl_start kwin --no-xwayland --outputs 2

# kwin_view: KWin's outputs ("OUT name x y w h") and the program's windows ("WIN output x y w
# h"), from a script run inside it
kwin_view() {
    local n=k$RANDOM
    cat >"$SESSION_DIR/bin/$n.js" <<'JS'
var os = workspace.screens;
for (var j = 0; j < os.length; j++) {
    var g = os[j].geometry;
    print("VIEW OUT " + os[j].name + " " + g.x + " " + g.y + " " + g.width + " " + g.height);
}
var cs = workspace.windowList();
for (var i = 0; i < cs.length; i++) {
    var c = cs[i], f = c.frameGeometry;
    if (c.resourceClass.indexOf("tackpad") >= 0 && !c.deleted)
        print("VIEW WIN " + (c.output ? c.output.name : "-") + " " + f.x + " " + f.y + " " + f.width
            + " " + f.height);
}
print("VIEW END");
JS
    chmod 644 "$SESSION_DIR/bin/$n.js"
    local from
    from=$(($(wc -l <"$SESSION_DIR/log/kwin.log") + 1))
    as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.loadScript string:"$SESSION_DIR/bin/$n.js" string:$n >/dev/null
    as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
    wait_for 3 sh -c "tail -n +$from '$SESSION_DIR/log/kwin.log' | grep -aq 'VIEW END'"
    as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
        org.kde.kwin.Scripting.unloadScript string:$n >/dev/null
    tail -n +"$from" "$SESSION_DIR/log/kwin.log" | grep -a -o 'VIEW [A-Z]* .*' | sed 's/^VIEW //'
}
# note: "WIN output x y w h" of the note (the settings window, which stands in for the missing
# tray, is bigger)
note() { kwin_view | awk '$1 == "WIN" && $5 > 90 && $5 < 140 && $6 > 100 && $6 < 150' | head -1; }

preset '[Always]' 'Red=ON'
start_tackpad_wl "$program"
note_up() { [[ -n $(note) ]]; }
wait_for 10 note_up ||
    die "the Red note did not appear: $(kwin_view)"
read -r _ out x y w h <<<"$(note)"
log "note on $out at $x,$y ${w}x$h; outputs: $(kwin_view | grep '^OUT' | tr '\n' ' ')"
[[ $(kwin_view | grep -c '^OUT') == 2 ]] || die "KWin has not two outputs: $(kwin_view)"
on() { # on OUTPUT: the note is wholly on that output
    local o="" ox oy ow oh=""
    read -r _ o x y w h <<<"$(note)"
    [[ $o == "$1" ]] || return 1
    read -r _ _ ox oy ow oh <<<"$(kwin_view | grep "^OUT $o ")"
    [[ -n ${oh:-} ]] && ((x >= ox && y >= oy && x + w <= ox + ow && y + h <= oy + oh))
}

# Dragged towards the bottom right, placed by its margins rather than centred by KWin, and then
# its output shrinks under it (a scale of 2 halves the room): the note stays, wholly on it.
# (KWin shows each output in a window of its own on the outer display, the last one on top.)
drag $((x - WL_W + 50)) $((y + 60)) 400 250
sleep 0.5
read -r _ _ x2 y2 _ <<<"$(note)"
log "dragged to $x2,$y2"
((x2 - x >= 398 && x2 - x <= 402 && y2 - y >= 248 && y2 - y <= 252)) ||
    die "a drag by +400,+250 moved the note from $x,$y to $x2,$y2"
as_user kscreen-doctor "output.$out.scale.2" >/dev/null 2>&1 || die "kscreen-doctor could not scale $out"
wait_for 5 on "$out" || die "the note is not wholly on its shrunk output: $(kwin_view)"
log "after $out shrank: $(note); $(kwin_view | grep "^OUT $out ")"

other=$(kwin_view | awk -v o="$out" '$1 == "OUT" && $2 != o { print $2 }')
as_user kscreen-doctor "output.$out.disable" >/dev/null 2>&1 || die "kscreen-doctor could not switch $out off"
wait_for 5 on "$other" || die "the note did not come back wholly on the remaining output: $(kwin_view)"
log "after $out was switched off: $(note)"
kill -0 "$TACKPAD_PID" || die "the program ended"
echo "PASS"
