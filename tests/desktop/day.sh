#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A user's whole day on a real desktop, driven only by the mouse and keyboard and by the files a
# user would look at: first start (only the tray icon, the autostart entry written), a time
# reminder set in the settings window pops the Red note up with its warble, two lines typed into
# it, Close from the tray menu; the next day's start restores the text and the presets, and the
# reminder pops the note up again at its minute.
#   day.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: day.sh PROGRAM}
here=$(cd "$(dirname "$0")" && pwd)
command -v faketime >/dev/null || skip "faketime is not installed"
command -v python3 >/dev/null || skip "python3 is not installed"
session_start
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
autostart="$XDG_CONFIG_HOME/autostart/Tackpad.desktop"

# start_at "YYYY-MM-DD HH:MM:SS": the program with the wall clock set there, the speaker as on
# any desktop (the emulated one, on the session's PulseAudio).
start_at() {
    env FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "@$1" "$program" \
        >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
    TACKPAD_PID=$!
    wait_for 10 tray_icon || die "no tray icon docked"
    read -r tx ty <<<"$(tray_icon)"
}
tray_menu_close() {
    click "$tx" "$ty" 3
    wait_for 3 role_viewable MnuMenu || die "the tray menu did not open"
    xdotool key --delay 80 Down Down Down Down Down Return
    wait_for 5 sh -c "! kill -0 $TACKPAD_PID 2>/dev/null" || die "Close did not end the program"
    TACKPAD_PID=
    wait_for 3 sh -c '! xdotool search --classname "^tackpad$" >/dev/null' || die "windows left behind"
}

# The recorder first: a new stream receives audio only after a second or so. A short latency
# makes it write what it hears at once, so nothing is lost in its buffer when it is stopped.
rec="$SESSION_DIR/speaker.raw"
parec --latency-msec=20 --device=speaker.monitor --format=s16le --rate=48000 --channels=1 --raw >"$rec" 2>/dev/null &
recorder=$!
SESSION_PIDS+=("$recorder")
wait_for 10 test -s "$rec" || die "the recorder receives nothing"

# Morning: the first start.
start_at "2026-12-08 02:58:05"
# The icon docks while the settings window is still being built; the entry follows at once.
wait_for 5 test -f "$autostart" || die "no autostart entry at the first start"
for role in frmMain frmRed frmGreen frmBlue; do
    role_viewable "$role" && die "$role shows at the first start"
done
log "first start: only the tray icon; autostart entry written"

click "$tx" "$ty" 1
wait_for 5 role_viewable frmMain || die "the settings window did not open from the tray"
read -r mx my _ <<<"$(geometry "$(window_role frmMain)")"
cx=$((mx + 1)) cy=$((my + 1)) row=232
click $((cx + 432)) $((cy + row + 21)) # hour 1 -> 2
click $((cx + 504)) $((cy + row + 4))  # minute 59 -> 58
wait_for 3 grep -q '^Red=58$' "$ini" || die "the minute was not stored"
size_before=$(stat -c %s "$rec")
click $((cx + 552)) $((cy + row + 8)) # time switch
wait_for 3 role_viewable frmRed || die "the Red note did not pop up at 02:58"
log "the Red note popped up at its minute"
heard() { # eight tones in what was recorded since the click
    tail -c +$((size_before + 1)) "$rec" >"$SESSION_DIR/alert.raw"
    (($(python3 "$here/tones.py" "$SESSION_DIR/alert.raw" | grep -c .) >= 8))
}
wait_for 3 heard
sleep 0.5 # any tone more is recorded too
kill "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
tail -c +$((size_before + 1)) "$rec" >"$SESSION_DIR/alert.raw"
python3 "$here/tones.py" "$SESSION_DIR/alert.raw" >"$SESSION_DIR/tones.txt"
log "tones heard (start ms, duration ms, Hz):"
sed 's/^/#   /' "$SESSION_DIR/tones.txt"
python3 - "$SESSION_DIR/tones.txt" <<'PY' || die "no eight-tone warble in the recording"
import sys
tones = [tuple(map(float, l.split())) for l in open(sys.argv[1]) if l.strip()]
assert len(tones) == 8, f"{len(tones)} tones"
for i, (_, duration, freq) in enumerate(tones):
    want = 1193182 / (254 if i % 2 == 0 else 456)
    assert abs(freq - want) < want * 0.01, f"tone {i + 1} at {freq} Hz"
    assert 8.5 < duration < 14, f"tone {i + 1} lasts {duration} ms"
PY

# Two lines into the note.
read -r nx ny _ <<<"$(geometry "$(window_role frmRed)")"
click $((nx + 50)) $((ny + 40))
xdotool type --delay 40 "Pick up parcel"
xdotool key Return
xdotool type --delay 40 "Pay rent"
wait_for 3 grep -q '^Red=Pick up parcel\\nPay rent$' "$ini" || { cat "$ini"; die "the text is not stored"; }
tray_menu_close
log "closed from the tray menu"
cp "$ini" "$SESSION_DIR/evening.ini"

# Next day, just before the same minute: the presets come back and the reminder fires again.
start_at "2026-12-09 02:57:58"
role_viewable frmRed && die "the Red note shows before its minute"
wait_for 8 role_viewable frmRed || die "the restored reminder did not pop the note up"
cmp -s "$ini" "$SESSION_DIR/evening.ini" || die "start-up changed the settings file"
read -r nx ny _ <<<"$(geometry "$(window_role frmRed)")"
click $((nx + 50)) $((ny + 100))
xdotool key ctrl+End
xdotool type --delay 40 "!"
wait_for 3 grep -q '^Red=Pick up parcel\\nPay rent!$' "$ini" || { cat "$ini"; die "yesterday's text did not come back"; }
log "next day: text and presets restored, reminder fired again"
tray_menu_close
echo "PASS"
