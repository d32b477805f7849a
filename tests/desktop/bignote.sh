#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A note of 10 MB of log lines on a real desktop: it shows within 3 s of CPU, the tray menu and the
# settings window answer while it is laid out, a key typed at its end is saved, and SIGTERM ends
# the program. Then a note of 10 MB in one paragraph: a key at its end is saved, and Close from
# the tray menu ends the program.
#   bignote.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: bignote.sh PROGRAM}
session_start --no-audio
ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
mkdir -p "$(dirname "$ini")"
python3 - "$ini" <<'PY'
import sys
line = "2026-12-08 16:14:45.123 INFO [worker-3] org.example.service.Handler: request done in 12 ms"
with open(sys.argv[1], "w") as ini:
    ini.write("[Always]\nRed=ON\n[Note]\nRed=" + "\\n".join([line] * 110000) + "\n")
PY
# cpu_ms: the CPU the program has spent, which other programs on a busy machine do not stretch
cpu_ms() {
    local stat
    stat=$(<"/proc/$TACKPAD_PID/stat")
    read -r -a f <<<"${stat##*) }" # fields from the state on: utime and stime are the 12th, 13th
    echo $(((f[11] + f[12]) * 1000 / $(getconf CLK_TCK)))
}
start_tackpad "$program" TACKPAD_SPEAKER=none
started=$(date +%s%N)
wait_for 10 role_viewable frmRed || die "the note did not appear"
shown=$((($(date +%s%N) - started) / 1000000)) shown_cpu=$(cpu_ms)
log "the 10 MB note showed after $shown ms, $shown_cpu ms of CPU"
((shown_cpu <= 3000)) || die "the note took $shown_cpu ms of CPU to show"

wait_for 5 tray_icon || die "no tray icon docked"
read -r tx ty <<<"$(tray_icon)"
click "$tx" "$ty" 1
wait_for 2 role_viewable frmMain || die "the settings window did not open while the note was laid out"
click "$tx" "$ty" 3
wait_for 2 role_viewable MnuMenu || die "the tray menu did not open while the note was laid out"
xdotool key Escape
# The program, busy with the layout, takes the Escape a little later; until then the menu holds
# the pointer, and the click below would only close it.
menu_gone() { ! role_viewable MnuMenu; }
wait_for 2 menu_gone || die "Escape did not close the tray menu"
read -r mx my _ <<<"$(geometry "$(window_role frmMain)")"
click $((mx + 580)) $((my + 13)) # "Tray  >>" hides the settings window again
wait_for 2 role_hidden frmMain || die "the settings window stayed"

read -r x y w h <<<"$(geometry "$(window_role frmRed)")"
click $((x + w / 2)) $((y + h / 2))
xdotool key ctrl+End
xdotool type "z"
saved_z() { tail -c 2 "$ini" | grep -q '^z$'; }
wait_for 3 saved_z || die "the key typed at the end was not saved"

kill -TERM "$TACKPAD_PID"
ended() { ! kill -0 "$TACKPAD_PID" 2>/dev/null; }
wait_for 5 ended || die "SIGTERM did not end the program"

python3 - "$ini" <<'PY'
import sys
words = "words of a paragraph without end " * 303031
with open(sys.argv[1], "w") as ini:
    ini.write("[Always]\nRed=ON\n[Note]\nRed=" + words + "\n")
PY
start_tackpad "$program" TACKPAD_SPEAKER=none
started=$(date +%s%N)
wait_for 10 role_viewable frmRed || die "the paragraph note did not appear"
log "the 10 MB paragraph showed after $((($(date +%s%N) - started) / 1000000)) ms"
read -r x y w h <<<"$(geometry "$(window_role frmRed)")"
click $((x + w / 2)) $((y + h / 2))
xdotool key ctrl+End
xdotool type "z"
wait_for 3 saved_z || die "the key typed at the end of the paragraph was not saved"
grep '^Red=words' "$ini" | grep -qF '\n' && die "the paragraph was saved with line breaks in it"
wait_for 5 tray_icon || die "no tray icon docked"
read -r tx ty <<<"$(tray_icon)"
click "$tx" "$ty" 3
wait_for 2 role_viewable MnuMenu || die "the tray menu did not open"
# Down to "&Close": three submenus, Setting, Close.
xdotool key --delay 80 Down Down Down Down Down Return
wait_for 5 ended || die "Close did not end the program"
echo "PASS"
