#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A note on KWin (KDE Plasma's compositor), nested in Xvfb, through XWayland: KWin itself keeps it
# above other windows and out of the taskbar and of the window switcher (Alt+Tab); typing into it
# lands in the settings file, a drag moves it, a double click hides it.
#   kwin.sh PROGRAM
here=$(dirname "$0")
. "$here/../lib.sh"
. "$here/wl-lib.sh"
program=${1:?usage: kwin.sh PROGRAM}
wl_start kwin

# KWin's own view of a window, from a script it runs: "ROLE above skipTaskbar skipSwitcher"
# (KWin 6 lists windows with windowList(), KWin 5 with clientList()).
cat >"$SESSION_DIR/bin/states.js" <<'JS'
var cs = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < cs.length; i++)
    print("STATE " + cs[i].windowRole + " " + cs[i].keepAbove + " " + cs[i].skipTaskbar + " " + cs[i].skipSwitcher);
JS
chmod 644 "$SESSION_DIR/bin/states.js"
kwin_states() {
    local n=$RANDOM
    as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript \
        string:"$SESSION_DIR/bin/states.js" string:states$n >/dev/null || return 1
    as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
    sleep 0.3
    as_user dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.unloadScript \
        string:states$n >/dev/null
    grep -o 'STATE .*' "$SESSION_DIR/log/kwin.log" | tail -n "$1"
}
role_window() { # role_window ROLE: the program's X window of that role, once it is viewable
    local w
    for w in $(as_user xdotool search --classname '^tackpad$' 2>/dev/null); do
        as_user xprop -id "$w" WM_WINDOW_ROLE | grep -q "\"$1\"" &&
            as_user xwininfo -id "$w" | grep -q IsViewable && { echo "$w"; return 0; }
    done
    return 1
}
red_window() { role_window frmRed; }
red_geometry() {
    as_user xwininfo -id "$red" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'
}

preset '[Always]' 'Red=ON'
start_tackpad_wl "$program"
wait_for 10 red_window || die "the Red note did not appear through XWayland"
red=$(red_window)
states=$(kwin_states 1)
log "KWin: $states"
[[ $states == "STATE frmRed true true true" ]] || die "KWin does not keep the note above and out of the taskbar and switcher"

# Without a tray the settings window comes after five seconds, above the note: a person puts it
# away before going on.
if main=$(role_window frmMain); then
    as_user xdotool windowactivate --sync "$main" key Escape
    main_hidden() { ! role_window frmMain; }
    wait_for 3 main_hidden || die "Escape did not put the settings window away"
fi
read -r x y <<<"$(red_geometry)"
# A note that popped up by itself takes the keyboard from a click half a second after it showed.
sleep 0.6
click $((x + 50)) $((y + 40))
DISPLAY=$WL_OUTER xdotool type --delay 30 "ring bo"
stored() { grep -qx 'Red=ring bo' "$(ini)"; }
wait_for 3 stored || die "typed text is not in the settings file"
drag $((x + 50)) $((y + 60)) 200 120
sleep 0.3
read -r x2 y2 <<<"$(red_geometry)"
log "dragged from $x,$y to $x2,$y2"
((x2 - x > 170 && x2 - x <= 205 && y2 - y > 95 && y2 - y <= 125)) || die "the drag moved the note from $x,$y to $x2,$y2"
dclick $((x2 + 50)) $((y2 + 60))
red_hidden() { ! red_window; }
wait_for 3 red_hidden || die "a double click did not hide the note"
kill -0 "$TACKPAD_PID" || die "the program ended"
echo "PASS"
