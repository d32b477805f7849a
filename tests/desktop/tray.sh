#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray on a real desktop: the icon docks in the panel; a right click opens the menu, whose
# "Red Note" > "Show" shows the Red note; the icon stays in the tray when a panel takes more room;
# a left click opens the settings window, where a right
# press on "Instructions" shows the help only while held; "Tray  >>" hides it; "Close" ends the
# program, and so does SIGTERM.
#   tray.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: tray.sh PROGRAM}
session_start --no-audio

start_tackpad "$program" TACKPAD_SPEAKER=none
wait_for 10 tray_icon || die "no tray icon docked"
read -r tx ty <<<"$(tray_icon)"
log "tray icon at $tx,$ty"
# Nothing but the icon at the first start.
role_viewable frmMain && die "the settings window shows at start"
role_viewable frmRed && die "a note shows at start"
grep -q '^Name=Tackpad$' "$XDG_CONFIG_HOME/autostart/Tackpad.desktop" || die "no autostart entry"

menu_opened() { role_viewable MnuMenu; }
click "$tx" "$ty" 3
wait_for 3 menu_opened || die "right click opened no menu"
# The first three items are the note submenus, Blue, Green, Red.
xdotool key --delay 80 Down Down Down Return
sleep 0.3
xdotool key --delay 80 Return # "Show", the first item of the submenu
wait_for 5 role_viewable frmRed || die "Red Note > Show did not show the Red note"
log "Red note shown from the tray menu"
role_viewable frmGreen && die "another note showed too"

# A panel that takes more room of the screen: the notes keep to what is left, but the icon stays
# where the tray put it, in sight and under the pointer.
xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0, 0, 1280, 700"
sleep 0.5
read -r tx2 ty2 <<<"$(tray_icon)"
[[ "$tx2,$ty2" == "$tx,$ty" ]] || die "the tray icon moved from $tx,$ty to $tx2,$ty2 when the work area changed"

click "$tx" "$ty" 1
wait_for 5 role_viewable frmMain || die "a left click did not open the settings window"
main=$(window_role frmMain)
read -r mx my mw mh <<<"$(geometry "$main")"
log "settings window at $mx,$my size ${mw}x$mh"
((mw == 707 && mh == 324)) || die "settings window is ${mw}x$mh"
xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || die "settings window has a taskbar button"
screenshot "$SESSION_DIR/settings.png"
[[ -n ${TACKPAD_SCREENSHOTS:-} ]] && cp "$SESSION_DIR/settings.png" "$TACKPAD_SCREENSHOTS/settings.png"

# A right press on "Instructions" (6840,75 twips) shows the help while it is held, opens no menu,
# and the release hides the help again.
rows() { import -window root -crop "640x100+$((mx + 30))+$((my + 150))" png:- 2>/dev/null | md5sum; }
click $((mx + 20)) $((my + 300)) # the window active, as it is once a person works in it
sleep 0.3
before=$(rows)
xdotool mousemove $((mx + 1 + 456 + 40)) $((my + 1 + 5 + 7)) sleep 0.05 mousedown 3 sleep 0.4
held=$(rows)
xdotool mouseup 3 sleep 0.4
menu_opened && die "a right press on Instructions opened the menu"
[[ $held != "$before" ]] || die "holding the right button on Instructions showed no help"
[[ $(rows) == "$before" ]] || die "the help stayed over the rows after the right button was released"
log "the help shows while the right button is held on Instructions, and no menu opens"

# "&Tray  >>" sits at 8280,73 twips of the client area.
click $((mx + 1 + 552 + 20)) $((my + 1 + 5 + 7))
wait_for 3 role_hidden frmMain || die "Tray >> did not hide the settings window"

click "$tx" "$ty" 3
wait_for 3 menu_opened || die "the menu did not open again"
# Down to "&Close": three submenus, Setting, Close.
xdotool key --delay 80 Down Down Down Down Down Return
wait_for 5 sh -c "! kill -0 $TACKPAD_PID" || die "Close did not end the program"
wait_for 3 sh -c '! xdotool search --classname "^tackpad$" >/dev/null' || die "windows left behind"
TACKPAD_PID=

# SIGTERM, as at the end of a session: with nothing unsaved the program ends at once, cleanly.
start_tackpad "$program" TACKPAD_SPEAKER=none
wait_for 10 tray_icon || die "no tray icon after a new start"
kill -TERM "$TACKPAD_PID"
wait_for 5 sh -c "! kill -0 $TACKPAD_PID" || die "SIGTERM did not end the program"
wait "$TACKPAD_PID"
status=$?
TACKPAD_PID=
((status == 0)) || die "SIGTERM ended the program with status $status"
log "SIGTERM ends the program with status 0"
echo "PASS"
