#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tackpad heard through the Orca screen reader, as a blind person hears it, every utterance
# logged: a note that pops up at the start is spoken (name and first words) within two seconds,
# the keyboard staying where it was; the keys that move and select by character, word and line
# run through a date field and a note's text without ever stopping the program (with Orca, Qt's
# own reader of a field looped for good at the field's end); the help is read once while Space
# holds it, the key's repeats not echoed, and once from Enter until the next; a date field is
# read whole with how to open its calendar, an empty one and an unset bar say "not set"; the
# calendar speaks each day it moves to with its month and year, and the day picked is read
# whole; Tab reaches a switch not yet available, which says so and what makes it available, as
# Where Am I does there.
#   screenreader.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: screenreader.sh PROGRAM}
for n in orca speech-dispatcher; do command -v $n >/dev/null || skip "$n is not installed"; done
/usr/bin/python3 -c 'import importlib.util as u; exit(u.find_spec("orca") is None)' ||
    skip "Orca's Python modules are missing"
session_start --a11y
# A desktop does not force Qt's accessibility on: Orca's presence turns it on.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
speech="$SESSION_DIR/log/speech.log"
: >"$speech"
mkdir -p "$XDG_RUNTIME_DIR/speech-dispatcher"
speech-dispatcher -s -t 0 -L "$SESSION_DIR/log" -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" \
    >"$SESSION_DIR/log/speechd.log" 2>&1 &
SESSION_PIDS+=($!)
# Orca 48 gives up on speech that is not there yet when it starts.
wait_for 10 test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" || die "speech-dispatcher did not start"
/usr/bin/python3 "$(dirname "$0")/orca-speech.py" "$speech" >"$SESSION_DIR/log/orca.log" 2>&1 &
SESSION_PIDS+=($!)
wait_for 30 grep -q "Screen reader on" "$speech" || die "Orca did not start (log/orca.log)"

mark() { echo "=== $*" >>"$speech"; }
said_since() { sed -n "/^=== $1\$/,\$p" "$speech" | grep "SPEECH OUTPUT"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$TACKPAD_PID/stat"; }
# keys KEY...: pressed as a person would, one after another; the program must go on answering
keys() {
    local k
    # Each key heard out before the next, as Orca reads a word only once it has settled.
    for k in "$@"; do heard_out xdotool key "$k"; done
    local before after
    before=$(cpu_ticks)
    sleep 1
    after=$(cpu_ticks)
    # A stopped program spins one core: 100 ticks in 1 s. At rest it spends next to none.
    ((after - before < 25)) || die "after $* the program spends $((after - before)) ticks in 1 s"
}
# heard_out COMMAND...: runs COMMAND, waits for Orca to begin speaking (up to a second: some keys
# say nothing), then for 0.3 s without a new word
heard_out() {
    local size last i quiet=0
    last=$(stat -c %s "$speech")
    "$@"
    for ((i = 0; i < 10; i++)); do
        sleep 0.1
        size=$(stat -c %s "$speech")
        ((size != last)) && break
    done
    for ((i = 0; i < 30 && quiet < 3; i++)); do
        sleep 0.1
        size=$(stat -c %s "$speech")
        if ((size == last)); then ((++quiet)); else quiet=0 last=$size; fi
    done
}

ini="$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
mkdir -p "$(dirname "$ini")"
printf '%s\n' '[Note]' 'Red=Pay the rent\nand the phone bill' '[Date]' 'Blue=April 01, 2004' \
    '[Always]' 'Red=ON' >"$ini"

mark start
start_tackpad "$program" TACKPAD_SPEAKER=none LC_ALL=C.UTF-8
wait_for 10 role_viewable frmRed || die "the Red note did not pop up at start"
mark mapped
# spoken MARK: the utterances since MARK on one line (Orca 48 says the role apart from the name)
spoken() { said_since "$1" | sed "s/^.*OUTPUT: '//; s/'\$//" | tr '\n' ' '; }
heard() { spoken start | grep -q "notification Red note"; }
wait_for 2 heard || die "the note that popped up was not spoken: $(said_since start)"
said_since start | grep -q "Pay the rent and the phone bill" ||
    die "the note's first words were not spoken: $(said_since start)"
sleep 1
(($(said_since start | grep -c "OUTPUT: 'notification") == 1)) || die "spoken more than once"
[[ $(xdotool getactivewindow 2>/dev/null) != "$(window_role frmRed)" ]] || die "the note took the keyboard"
log "popped up, Orca said: $(said_since start | sed 's/.*OUTPUT: //' | tr '\n' ' ')"

# Starting again opens the settings window with the keyboard on the top note's name.
mark settings
env TACKPAD_SPEAKER=none "$program" || die "the second start failed"
wait_for 5 role_viewable frmMain || die "starting again did not open the settings window"
wait_for 5 sh -c "sed -n '/^=== settings/,\$p' '$speech' | grep -Eq 'Blue note (push )?button'" ||
    die "the note's name was not heard as a button: $(said_since settings)"

# Held on "Instructions" (the last stop but one, back from the first), the help is read, once.
mark help
xdotool key shift+Tab shift+Tab
sleep 1
xdotool keydown space
sleep 2
xdotool keyup space
wait_for 5 sh -c "sed -n '/^=== help\$/,\$p' '$speech' | grep -q 'This program was designed'" ||
    die "the help was not read: $(said_since help)"
sleep 1
(($(said_since help | grep -c "OUTPUT: 'notification") == 1)) || die "the help was read again"
spaces=$(said_since help | grep -Ec "OUTPUT: 'space ?'")
orca_major=$(orca --version 2>/dev/null | grep -o '[0-9]\+' | head -1)
if ((${orca_major:-0} < 46)); then
    ((spaces <= 1)) || die "Space's repeats were echoed: $spaces times"
else
    # From Orca 46 on, Orca reads the keys from the X server itself, its repeats included.
    log "Orca $orca_major echoed Space $spaces times, as the X server repeats it"
fi
# Enter holds it with no key down, until the next Enter: read once, nothing echoed but the keys.
mark enter
xdotool key Return
wait_for 5 sh -c "sed -n '/^=== enter\$/,\$p' '$speech' | grep -q 'This program was designed'" ||
    die "Enter did not have the help read: $(said_since enter)"
sleep 1
(($(said_since enter | grep -c "OUTPUT: 'notification") == 1)) || die "Enter had the help read again"
xdotool key Return
xdotool key Tab Tab

mark blue
xdotool key Tab
wait_for 3 sh -c "sed -n '/^=== blue/,\$p' '$speech' | grep -q 'April 01, 2004 selected'" ||
    die "Tab did not reach the Blue date, or it was cut: $(said_since blue)"
said_since blue | grep -q "Alt+Down or F4 opens its calendar" || die "the calendar keys were not said"
mark date
keys End Home ctrl+Right ctrl+Right ctrl+Right ctrl+Right ctrl+Right ctrl+Left End ctrl+Left \
    shift+Home shift+End shift+ctrl+Right Home shift+ctrl+Right shift+ctrl+Right \
    shift+ctrl+Right shift+ctrl+Right shift+ctrl+Left
# The last key's selection is read: Orca still has its answers from the program.
said_since date | grep -q "unselected" || die "the last key was not read: $(said_since date)"
log "date field, Orca said: $(said_since date | sed 's/.*OUTPUT: //' | tr '\n' ' ')"

# The calendar (at its design date until a day is picked) speaks each day it moves to whole;
# the day picked is read whole in the field.
mark calendar
keys Return Right Page_Down ctrl+Page_Down
day=$(LC_ALL=C date -d '2004-04-17 +1 day +1 month +1 year' '+%A, %-d %B %Y')
said_since calendar | grep -q "OUTPUT: '$day" || die "the calendar did not say $day: $(said_since calendar)"
mark picked
keys Return
picked=$(LC_ALL=C date -d '2004-04-17 +1 day +1 month +1 year' '+%B %d, %Y')
said_since picked | grep -q "OUTPUT: '$picked" || die "the day picked was not read whole: $(said_since picked)"
log "calendar, Orca said: $(said_since calendar | sed 's/.*OUTPUT: //' | tr '\n' ' ')"

# Return on the name of the note, shown since the start, brings it to the keyboard, heard.
for ((i = 0; i < 20; i++)); do
    mark tab$i
    xdotool key Tab
    wait_for 2 sh -c "sed -n '/^=== tab$i\$/,\$p' '$speech' | grep -q 'note'" || true
    if said_since tab$i | grep -q "Blue note time switch check box"; then
        # Where Am I, on the switch not yet available
        mark where
        xdotool key KP_Enter
        wait_for 3 sh -c "sed -n '/^=== where\$/,\$p' '$speech' | grep -q 'Unavailable until both'" ||
            die "Where Am I on the unavailable switch said: $(said_since where)"
    fi
    said_since tab$i | grep -Eq "Red note (push )?button" && break
done
said_since tab$i | grep -Eq "Red note (push )?button" || die "Tab never reached the Red note's name"
# On the way: a bar and an empty date field say "not set", the start switch's tooltip is whole.
said_since picked | grep -A1 "Blue note hour setter scroll bar" | grep -q "Not set" ||
    die "the unset hour bar did not say so: $(said_since picked)"
said_since picked | grep -A1 "Green note date read only text" | grep -q "Not set" ||
    die "the empty Green date did not say so on its first visit: $(said_since picked)"
said_since picked | grep -q "Once clicked, the note" || die "the start switch's tooltip was cut"
# A switch not yet available is on the way all the same, and says what makes it available.
said_since picked | grep -A2 "Blue note time switch check box" | grep -q "Unavailable until both" ||
    die "Tab did not reach the unavailable time switch: $(said_since picked)"
mark ask
xdotool key Return
wait_for 3 sh -c "[ \"\$(xdotool getactivewindow)\" = \"$(window_role frmRed)\" ]" ||
    die "Return on the name did not bring the shown note to the keyboard"
wait_for 3 sh -c "sed -n '/^=== ask\$/,\$p' '$speech' | grep -q 'Red note text'" ||
    die "the note brought forward was not heard: $(said_since ask)"
log "asked for the shown note, Orca said: $(said_since ask | sed 's/.*OUTPUT: //' | tr '\n' ' ')"

# The same keys in the note's text, where the keyboard now is.
mark note
keys ctrl+Home ctrl+Right ctrl+Right ctrl+Right ctrl+End ctrl+Right End ctrl+Left Home \
    shift+ctrl+End shift+ctrl+Home ctrl+End shift+ctrl+Left shift+Home Down Up
said_since note | grep -q "rent" || die "the note's words were not read: $(said_since note)"
grep -q '^Red=Pay the rent\\nand the phone bill$' "$ini" || die "the note's text changed"
log "note, Orca said: $(said_since note | sed 's/.*OUTPUT: //' | tr '\n' ' ')"
