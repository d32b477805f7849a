#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's pictures on a real desktop: the settings window, the three notes and a
# calendar (which must show six whole weeks in its box). They go
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
convert "$SESSION_DIR/notes.png" -crop $((w + 360))x$((h + 40))+$((x - 180))+$((y - 20)) +repage "$out/notes.png"

wait_for 10 tray_icon || die "no tray icon docked"
read -r tx ty <<<"$(tray_icon)"
click "$tx" "$ty" 1
wait_for 5 role_viewable frmMain || die "the settings window did not open"
sleep 0.5
read -r mx my mw mh <<<"$(geometry "$(window_role frmMain)")"
screenshot "$SESSION_DIR/settings.png"
convert "$SESSION_DIR/settings.png" -crop ${mw}x${mh}+$mx+$my +repage "$out/settings.png"
# The Red calendar, opened from its date field, shows six whole weeks inside its box.
click $((mx + 198)) $((my + 240))
sleep 0.7
screenshot "$SESSION_DIR/calendar.png"
convert "$SESSION_DIR/calendar.png" -crop 330x170+$((mx + 268))+$((my + 116)) +repage "$out/calendar.png"
# Week numbers stand in the box's left column, below the month's bar: count their rows of dark
# pixels, and see that the last ends inside the box.
weeks=$(convert "$SESSION_DIR/calendar.png" -crop 26x120+$((mx + 281))+$((my + 153)) +repage \
    -colorspace gray -threshold 40% -negate -scale '1x120!' -threshold 1% txt:- |
    awk -F'[ ,:]+' 'NR > 1 { dark = ($0 ~ /#FFFFFF/) } NR > 1 && dark && !was { n++ }
        NR > 1 { was = dark } NR > 1 && dark { last = $2 } END { print n + 0, last + 0 }')
log "calendar: week rows and the last row's bottom pixel: $weeks"
read -r rows bottom <<<"$weeks"
((rows == 6 && bottom < 119)) || die "the calendar shows $rows week rows in its box, not 6 whole ones"
log "screenshots in $out"
echo "PASS"
