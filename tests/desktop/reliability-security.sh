#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program keeps the notes private and writes nothing through links planted where its
# files go: typing into a note tightens wider modes to 0600/0700, and replaces a linked settings
# file and autostart entry by files of its own, leaving the link targets as they were.
#   reliability-security.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: reliability-security.sh PROGRAM}
session_start --no-audio

dir="$XDG_CONFIG_HOME/Tackpad"
ini="$dir/Tackpad.ini"
entry="$XDG_CONFIG_HOME/autostart/Tackpad.desktop"
type_into_red() { # type_into_red TEXT
    local red x y
    wait_for 10 role_viewable frmRed || die "the Red note did not appear"
    red=$(window_role frmRed)
    read -r x y _ <<<"$(geometry "$red")"
    click $((x + 50)) $((y + 40))
    xdotool type --delay 40 "$1"
    sleep 0.4
}
stop() { kill -9 "$TACKPAD_PID" 2>/dev/null; wait "$TACKPAD_PID" 2>/dev/null; TACKPAD_PID=; }

# Wider modes from before are tightened.
mkdir -p "$dir" && chmod 755 "$dir"
printf '[Always]\nRed=ON\n' >"$ini" && chmod 644 "$ini"
start_tackpad "$program" TACKPAD_SPEAKER=none
type_into_red "private"
grep -q '^Red=private$' "$ini" || die "typed text is not in the settings file: $(cat "$ini")"
[[ $(stat -c %a "$ini") == 600 ]] || die "settings file mode $(stat -c %a "$ini")"
[[ $(stat -c %a "$dir") == 700 ]] || die "settings folder mode $(stat -c %a "$dir")"
log "modes tightened: file $(stat -c %a "$ini"), folder $(stat -c %a "$dir")"
stop

# Links planted in place of both files, pointing at files of someone else's choosing.
printf '[Always]\nRed=ON\n\n[Note]\nRed=from the link\n' >"$SESSION_DIR/owned.ini"
printf '[Desktop Entry]\nName=owned\n' >"$SESSION_DIR/owned.desktop"
chmod 644 "$SESSION_DIR/owned.ini" "$SESSION_DIR/owned.desktop"
cp "$SESSION_DIR/owned.ini" "$SESSION_DIR/owned.ini.orig"
cp "$SESSION_DIR/owned.desktop" "$SESSION_DIR/owned.desktop.orig"
rm -f "$ini" "$entry" && mkdir -p "$(dirname "$entry")"
ln -s "$SESSION_DIR/owned.ini" "$ini"
ln -s "$SESSION_DIR/owned.desktop" "$entry"
start_tackpad "$program" TACKPAD_SPEAKER=none
type_into_red "!"
cmp -s "$SESSION_DIR/owned.ini" "$SESSION_DIR/owned.ini.orig" || die "the link target of the settings file was written"
[[ -f $ini && ! -L $ini ]] || die "the settings file is still a link"
grep -q '^Red=.*!' "$ini" || die "typed text is not in the new settings file: $(cat "$ini")"
grep -q 'from the link' "$ini" || die "the text read through the link was lost"
[[ $(stat -c %a "$ini") == 600 ]] || die "new settings file mode $(stat -c %a "$ini")"
log "settings link replaced: $(grep '^Red=.*!' "$ini")"
kill -0 "$TACKPAD_PID" || die "the program ended"
stop

cmp -s "$SESSION_DIR/owned.desktop" "$SESSION_DIR/owned.desktop.orig" || die "the autostart entry was written through the planted link"
[[ -f $entry && ! -L $entry ]] || die "the autostart entry is still a link"
grep -q '^Exec="' "$entry" || die "the new autostart entry has no Exec"
log "autostart link replaced, its target untouched"
echo "PASS"
