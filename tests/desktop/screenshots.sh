#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures on a real desktop: the settings window and the three notes. They go
# to the folder named by the second argument (the build folder's screenshots/ by default); copy
# them to docs/ to update the README.
#   screenshots.sh PROGRAM [FOLDER]
. "$(dirname "$0")/lib.sh"
program=${1:?usage: screenshots.sh PROGRAM [FOLDER]}
out=${2:-$(dirname "$program")/../screenshots}
mkdir -p "$out"
command -v faketime >/dev/null || skip "faketime is not installed"
session_start --no-audio
mkdir -p "$XDG_CONFIG_HOME/Tackpad"
cat >"$XDG_CONFIG_HOME/Tackpad/Tackpad.ini" <<'INI'
[Always]
Blue=ON
Green=ON
Red=ON

[Date]
Blue=December 24, 2026

[Hour]
Green=9

[Min]
Green=30

[Note]
Blue=Presents:\n- Mum: scarf\n- Leo: kite
Green=Standup 9:30\nBring the slides
Red=Dentist Friday\nPay the rent!

[Timer]
Blue=ON
Green1=ON
INI
env TACKPAD_SPEAKER=none FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "@2026-12-08 08:15:00" \
    "$program" >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
TACKPAD_PID=$!
for role in frmBlue frmGreen frmRed; do
    wait_for 10 role_viewable $role || die "$role did not show"
done
# All three open at the same centred place; lay them side by side.
read -r x y w h <<<"$(geometry "$(window_role frmRed)")"
drag $((x + 60)) $((y + 110)) -160 0 # Red, on top, to the left
sleep 0.3
drag $((x + 60)) $((y + 110)) 160 0 # Green, now on top, to the right
sleep 0.5
screenshot "$SESSION_DIR/notes.png"
convert "$SESSION_DIR/notes.png" -crop $((w + 340))x$((h + 40))+$((x - 190))+$((y - 20)) +repage "$out/notes.png"

read -r tx ty <<<"$(tray_icon)"
click "$tx" "$ty" 1
wait_for 5 role_viewable frmMain || die "the settings window did not open"
sleep 0.5
read -r mx my mw mh <<<"$(geometry "$(window_role frmMain)")"
screenshot "$SESSION_DIR/settings.png"
convert "$SESSION_DIR/settings.png" -crop ${mw}x${mh}+$mx+$my +repage "$out/settings.png"
log "screenshots in $out"
echo "PASS"
