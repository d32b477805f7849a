#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A desktop without some of its pieces: no tray host, no audio server, no URL opener, no window
# manager. Each time the program starts, stays running and can be reached.
#   reliability-pieces.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: reliability-pieces.sh PROGRAM}
session_start --no-tray --no-audio

# A home of its own for each run of the program.
fresh_home() { # fresh_home NAME [INI TEXT]
    RUN_HOME="$SESSION_DIR/$1"
    mkdir -p "$RUN_HOME/.config/Tackpad"
    [[ -n ${2:-} ]] && printf '%b' "$2" >"$RUN_HOME/.config/Tackpad/Tackpad.ini"
    return 0
}
run() { # run NAME [VAR=value...]: the program on RUN_HOME
    rm -f "$RUN_HOME/.config/autostart/Tackpad.desktop"
    start_tackpad "$program" HOME="$RUN_HOME" XDG_CONFIG_HOME="$RUN_HOME/.config" "$@"
}
# A second start opens the running copy's settings window at once, without the wait for a tray.
open_settings() { # open_settings [VAR=value...]
    # The running copy holds the lock once it has written its autostart entry.
    wait_for 5 test -e "$RUN_HOME/.config/autostart/Tackpad.desktop" || die "the program did not start"
    env HOME="$RUN_HOME" XDG_CONFIG_HOME="$RUN_HOME/.config" "$@" "$program" || die "the second start failed"
}
stop() { kill -9 "$TACKPAD_PID" 2>/dev/null; wait "$TACKPAD_PID" 2>/dev/null; TACKPAD_PID=; }
alive() { kill -0 "$TACKPAD_PID" 2>/dev/null || die "the program ended ($1)"; }
visible_windows() { xdotool search --onlyvisible --pid "$TACKPAD_PID" 2>/dev/null | sort | tr '\n' ' '; }

# No window manager: a bare X server of its own. Started first, since its settings window comes
# only after the wait for a tray; the rest runs on the session's display meanwhile.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$SESSION_DIR/display2" \
    >"$SESSION_DIR/log/xvfb2.log" 2>&1 &
SESSION_PIDS+=($!)
wait_for 10 grep -q '[0-9]' "$SESSION_DIR/display2" || die "second Xvfb did not start"
nowm_display=":$(tr -dc 0-9 <"$SESSION_DIR/display2")"
fresh_home nowm '[Always]\nRed=ON\n'
run TACKPAD_SPEAKER=none DISPLAY="$nowm_display"
nowm_pid=$TACKPAD_PID
SESSION_PIDS+=($!)
DISPLAY=$nowm_display wait_for 3 role_viewable frmRed || die "without a window manager the note did not appear"
TACKPAD_PID=

# No tray host: the program waits 5 s for one, then shows its settings window.
fresh_home notray
run TACKPAD_SPEAKER=none
t0=$(date +%s%N)
wait_for 7 role_viewable frmMain || die "without a tray the settings window did not appear"
ms=$((($(date +%s%N) - t0) / 1000000))
log "no tray: settings window after $ms ms"
((ms >= 4500)) || die "the settings window came before the wait for a tray was over ($ms ms)"
alive "no tray"

# No URL opener. First with one that records its arguments, so that the clicks are known to
# reach the credit line and the ZOVO menu item; then with none at all.
mkdir -p "$SESSION_DIR/opener" "$SESSION_DIR/noopener"
cat >"$SESSION_DIR/opener/xdg-open" <<OPENER
#!/bin/sh
printf '%s\n' "\$*" >>"$SESSION_DIR/opened"
OPENER
chmod +x "$SESSION_DIR/opener/xdg-open"
open_web_page_twice() {
    local main x y w h
    main=$(window_role frmMain) || die "no settings window"
    read -r x y w h <<<"$(geometry "$main")"
    click $((x + 340)) $((y + 289)) # the credit line lblMe
    sleep 0.3
    click $((x + w - 3)) $((y + h - 3)) 3 # the settings window's menu is the tray menu
    sleep 0.3
    xdotool key Up sleep 0.1 key Return # its last item, ZOVO
    sleep 0.5
}
stop
run TACKPAD_SPEAKER=none PATH="$SESSION_DIR/opener"
open_settings TACKPAD_SPEAKER=none PATH="$SESSION_DIR/opener"
wait_for 3 role_viewable frmMain || die "no settings window (with an opener)"
open_web_page_twice
[[ $(grep -c . "$SESSION_DIR/opened" 2>/dev/null) == 2 ]] || die "the clicks did not reach the opener: $(cat "$SESSION_DIR/opened" 2>/dev/null)"
log "with an opener: $(tr '\n' ' ' <"$SESSION_DIR/opened")"
stop
run TACKPAD_SPEAKER=none PATH="$SESSION_DIR/noopener"
open_settings TACKPAD_SPEAKER=none PATH="$SESSION_DIR/noopener:/usr/bin:/bin"
wait_for 3 role_viewable frmMain || die "no settings window (without an opener)"
before=$(visible_windows)
open_web_page_twice
# A menu still open is closed; Escape on the settings window itself would hide it.
role_viewable MnuMenu && xdotool key Escape
sleep 0.3
alive "no URL opener"
[[ $(visible_windows) == "$before" ]] || die "windows changed without an opener: $before -> $(visible_windows)"
role_viewable frmMain || die "the settings window went away"
log "no URL opener: nothing changed, still running"
stop

# No audio server: the note's first show still comes at once.
for speaker in audio auto; do
    fresh_home "noaudio-$speaker" '[Always]\nRed=ON\n'
    t0=$(date +%s%N)
    run TACKPAD_SPEAKER=$speaker PULSE_SERVER="unix:$SESSION_DIR/no-such-server"
    wait_for 3 role_viewable frmRed || die "no audio server ($speaker): the note did not appear"
    log "no audio server ($speaker): note after $((($(date +%s%N) - t0) / 1000000)) ms"
    sleep 1
    alive "no audio server"
    stop
done

# No audio library: an empty file in place of libpulse, in a mount namespace of the program's own.
# The warble is silent, says why, and the note still comes at once.
library=$(ldconfig -p | awk '/libpulse\.so\.0 /{ print $NF; exit }')
if [[ -n $library ]] && unshare --mount --propagation private true 2>/dev/null; then
    fresh_home nolibrary '[Always]\nRed=ON\n'
    : >"$SESSION_DIR/not-a-library"
    nolibrary_log=$SESSION_DIR/log/nolibrary.log
    t0=$(date +%s%N)
    env HOME="$RUN_HOME" XDG_CONFIG_HOME="$RUN_HOME/.config" TACKPAD_SPEAKER=audio \
        QT_LOGGING_RULES="tackpad.speaker.info=true" \
        unshare --mount --propagation private \
        sh -c 'mount --bind "$1" "$(readlink -f "$2")" && exec "$3"' sh \
        "$SESSION_DIR/not-a-library" "$library" "$program" >"$nolibrary_log" 2>&1 &
    TACKPAD_PID=$!
    wait_for 3 role_viewable frmRed || die "no audio library: the note did not appear"
    log "no audio library: note after $((($(date +%s%N) - t0) / 1000000)) ms"
    wait_for 3 grep -q "no audio library" "$nolibrary_log" \
        || die "no audio library: the speaker did not say why it is silent: $(cat "$nolibrary_log")"
    alive "no audio library"
    stop
else
    log "no audio library: not tried (no libpulse.so.0, or no mount namespace here)"
fi

# No window manager: looked at again at the end.
DISPLAY=$nowm_display wait_for 7 role_viewable frmMain || die "without a window manager the settings window did not appear"
TACKPAD_PID=$nowm_pid
alive "no window manager"
log "no window manager: note and settings window shown"
stop
echo "PASS"
