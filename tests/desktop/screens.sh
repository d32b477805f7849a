#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A monitor unplugged under openbox, which leaves windows where they were: the notes and the
# settings window that were on it come back wholly onto the one that is left; a note that was on
# that one stays where the person put it.
#   screens.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: screens.sh PROGRAM}
command -v xrandr >/dev/null || skip "xrandr is not installed"
session_start --no-audio --wm openbox --size 3200x1080
# Two monitors side by side: L of 1280x800 and R of 1920x1080 to its right.
xrandr --setmonitor L 1280/338x800/211+0+0 screen && xrandr --setmonitor '*R' 1920/507x1080/285+1280+0 none ||
    skip "this X server cannot split its screen into monitors"
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
mkdir -p "$(dirname "$ini")"
printf '[Always]\nRed=ON\nGreen=ON\nBlue=ON\n' >"$ini"
start_tackpad "$program" TACKPAD_SPEAKER=none
for n in Red Green Blue; do wait_for 10 role_viewable frm$n || die "the $n note did not show"; done
# A second start opens the settings window at once.
env TACKPAD_SPEAKER=none "$program" || die "the second start failed"
wait_for 5 role_viewable frmMain || die "the settings window did not open"

# Placed by the person: Red and Blue far right on R, Green on L; the settings window on R.
xdotool windowmove --sync "$(window_role frmRed)" 3000 900
xdotool windowmove --sync "$(window_role frmBlue)" 2500 100
xdotool windowmove --sync "$(window_role frmGreen)" 300 200
xdotool windowmove --sync "$(window_role frmMain)" 2000 300
sleep 0.5
read -r gx gy _ <<<"$(geometry "$(window_role frmGreen)")"
xdotool key Escape # hides the settings window
wait_for 3 role_hidden frmMain || die "Escape did not hide the settings window"

xrandr --delmonitor R
xrandr --newmode 1280x800 60 1280 1281 1282 1283 800 801 802 803 2>/dev/null
xrandr --addmode screen 1280x800 && xrandr --output screen --mode 1280x800 && xrandr --fb 1280x800 ||
    die "the screen could not be shrunk"
on_left() { # on_left ROLE: the window lies wholly on the 1280x800 screen
    local x y w h
    read -r x y w h <<<"$(geometry "$(window_role "$1")")"
    ((x >= 0 && y >= 0 && x + w <= 1280 && y + h <= 800))
}
for n in Red Blue; do
    wait_for 3 on_left frm$n || die "the $n note stayed off the screen at $(geometry "$(window_role frm$n)")"
done
read -r gx2 gy2 _ <<<"$(geometry "$(window_role frmGreen)")"
((gx2 == gx && gy2 == gy)) || die "the Green note moved from $gx,$gy to $gx2,$gy2 though it was on the screen"
log "the notes came back: Red at $(geometry "$(window_role frmRed)"), Blue at $(geometry "$(window_role frmBlue)")"

env TACKPAD_SPEAKER=none "$program" || die "the third start failed"
wait_for 5 role_viewable frmMain || die "the settings window did not open again"
wait_for 3 on_left frmMain || die "the settings window opened off the screen at $(geometry "$(window_role frmMain)")"
log "the settings window opened at $(geometry "$(window_role frmMain)")"
screenshot "$SESSION_DIR/unplugged.png"
echo "PASS"
