#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared harness of the desktop tests: a private headless X session (Xvfb on a display it picks
# itself, icewm as window manager and XEmbed tray, a session D-Bus, PulseAudio with a null sink),
# and functions to drive the program with xdotool as a person would. Source it, then call
# session_start; everything is stopped and removed on exit.
set -u

SKIP=77
die() { echo "FAIL: $*" >&2; exit 1; }
# Under CI a test that cannot run fails: a machine missing a piece must not pass by skipping.
skip() {
    [[ -n ${CI:-} ]] && die "cannot run under CI: $*"
    echo "SKIP: $*"
    exit $SKIP
}
log() { echo "# $*"; }

wait_for() { # wait_for SECONDS CMD... : polls every 0.1 s
    local t=$(($1 * 10))
    shift
    while ((t-- > 0)); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

SESSION_PIDS=()
session_stop() {
    local p
    [[ -n ${TACKPAD_PID:-} ]] && kill -9 "$TACKPAD_PID" 2>/dev/null
    for ((i = ${#SESSION_PIDS[@]} - 1; i >= 0; i--)); do kill "${SESSION_PIDS[i]}" 2>/dev/null; done
    for p in "${SESSION_PIDS[@]}"; do wait "$p" 2>/dev/null; done
    # What the bus started on demand (the accessibility bus and its registry) left running.
    if [[ -n ${TACKPAD_TEST_SESSION:-} ]]; then
        for p in /proc/[0-9]*; do
            [[ ${p#/proc/} != "$$" ]] && grep -qzx "TACKPAD_TEST_SESSION=$TACKPAD_TEST_SESSION" "$p/environ" 2>/dev/null &&
                kill "${p#/proc/}" 2>/dev/null
        done
    fi
    [[ -n ${SESSION_DIR:-} && -z ${KEEP_SESSION:-} ]] && rm -rf "$SESSION_DIR"
}

# session_start [--no-tray] [--no-audio] [--wm icewm|openbox] [--bare-bus] [--a11y] [--size WxH]
#   --bare-bus: a session bus on which no service can be started (no notification service)
#   --a11y: the accessibility bus as well, and programs started with it switched on
session_start() {
    local tray=1 audio=1 wm=icewm bare=0 a11y=0 size=1280x800
    while (($#)); do
        case $1 in
        --no-tray) tray=0 ;;
        --no-audio) audio=0 ;;
        --wm) wm=$2; shift ;;
        --bare-bus) bare=1 ;;
        --a11y) a11y=1 ;;
        --size) size=$2; shift ;;
        esac
        shift
    done
    local need=(Xvfb xdotool xprop xwininfo dbus-daemon "$wm" import convert)
    ((audio)) && need+=(pulseaudio pactl parec)
    for n in "${need[@]}"; do command -v "$n" >/dev/null || skip "$n is not installed"; done

    SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tackpad-desktop.XXXXXX")
    mkdir -p "$SESSION_DIR"/{run,home,log} && chmod 700 "$SESSION_DIR/run"
    trap session_stop EXIT
    export HOME="$SESSION_DIR/home" XDG_RUNTIME_DIR="$SESSION_DIR/run"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$SESSION_DIR/display" \
        >"$SESSION_DIR/log/xvfb.log" 2>&1 &
    SESSION_PIDS+=($!)
    wait_for 10 grep -q '[0-9]' "$SESSION_DIR/display" || die "Xvfb did not start"
    export DISPLAY=":$(tr -dc 0-9 <"$SESSION_DIR/display")"

    # Services the bus starts on demand outlive it; they carry this mark to be found at the end.
    export TACKPAD_TEST_SESSION="$SESSION_DIR"
    if ((bare)); then
        mkdir -p "$SESSION_DIR/services"
        cat >"$SESSION_DIR/bus.conf" <<XML
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><keep_umask/><listen>unix:path=$SESSION_DIR/run/bus</listen>
<servicedir>$SESSION_DIR/services</servicedir>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
</policy>
</busconfig>
XML
        dbus-daemon --config-file="$SESSION_DIR/bus.conf" --nofork --nopidfile \
            >"$SESSION_DIR/log/dbus.log" 2>&1 &
    else
        dbus-daemon --session --nofork --nopidfile --address="unix:path=$SESSION_DIR/run/bus" \
            >"$SESSION_DIR/log/dbus.log" 2>&1 &
    fi
    SESSION_PIDS+=($!)
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$SESSION_DIR/run/bus"
    wait_for 10 test -S "$SESSION_DIR/run/bus" || die "dbus-daemon did not start"
    if ((a11y)); then
        command -v /usr/libexec/at-spi-bus-launcher >/dev/null || skip "at-spi2-core is not installed"
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
            >/dev/null 2>&1 || die "the accessibility bus did not start"
        export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    fi

    if [[ $wm == icewm ]]; then
        mkdir -p "$HOME/.icewm"
        printf '%s\n' TaskBarShowClock=0 TaskBarShowWorkspaces=0 TaskBarShowCPUStatus=0 \
            TaskBarShowNetStatus=0 TaskBarShowMailboxStatus=0 TaskBarShowMEMStatus=0 \
            "TaskBarEnableSystemTray=$tray" >"$HOME/.icewm/preferences"
        icewm >"$SESSION_DIR/log/wm.log" 2>&1 &
    else
        openbox --sm-disable >"$SESSION_DIR/log/wm.log" 2>&1 &
    fi
    SESSION_PIDS+=($!)
    wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || die "$wm did not start"

    if ((audio)); then
        pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
            --load="module-native-protocol-unix socket=$SESSION_DIR/run/pulse/native auth-anonymous=1" \
            --load="module-null-sink sink_name=speaker rate=48000" >"$SESSION_DIR/log/pulse.log" 2>&1 &
        SESSION_PIDS+=($!)
        export PULSE_SERVER="unix:$SESSION_DIR/run/pulse/native"
        wait_for 10 pactl info || die "pulseaudio did not start"
        pactl set-default-sink speaker
    fi
    log "session on $DISPLAY in $SESSION_DIR"
}

# start_tackpad PROGRAM [env assignments...]: starts the program in the background
start_tackpad() {
    local program=$1
    shift
    env "$@" "$program" >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
    TACKPAD_PID=$!
}

# tray_icon: prints "X Y" of the centre of the program's docked tray icon
tray_icon() {
    local w
    for w in $(xdotool search --classname '^tackpad$' 2>/dev/null); do
        xprop -id "$w" _XEMBED_INFO 2>/dev/null | grep -q ' = ' || continue
        xprop -id "$w" WM_STATE 2>/dev/null | grep -q 'window state' && continue
        xwininfo -id "$w" 2>/dev/null | grep -q IsViewable || continue
        eval "$(xdotool getwindowgeometry --shell "$w")"
        ((WIDTH > 1)) || continue
        echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
        return 0
    done
    return 1
}

# window_role ROLE: the X window id of the program's top-level with that role (frmRed, frmMain...)
window_role() {
    local w
    for w in $(xdotool search --classname '^tackpad$' 2>/dev/null); do
        xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q "\"$1\"" && { echo "$w"; return 0; }
    done
    return 1
}
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
# geometry WINDOW: "X Y WIDTH HEIGHT" on the screen
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# Human-like input: the button is held about 40 ms.
click() { # click X Y [BUTTON]
    xdotool mousemove "$1" "$2" sleep 0.05 mousedown "${3:-1}" sleep 0.04 mouseup "${3:-1}"
}
drag() { # drag X Y DX DY [BUTTON]: press, move in steps 40 ms apart, release
    local steps=8 i
    xdotool mousemove "$1" "$2" sleep 0.05 mousedown "${5:-1}"
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove "$(($1 + $3 * i / steps))" "$(($2 + $4 * i / steps))" sleep 0.04
    done
    xdotool mouseup "${5:-1}"
}
pixel() { # pixel X Y: "R,G,B" of the screen there
    import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | tail -1 | sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}
screenshot() { import -window root "$1" 2>/dev/null; }
role_viewable() { local w; w=$(window_role "$1") && is_viewable "$w"; }
role_hidden() { local w; w=$(window_role "$1") && ! is_viewable "$w"; }

# typist_start: an xterm that stores each line typed into it in $SESSION_DIR/typed.txt, and holds
# the keyboard; TYPIST is its window
typist_start() {
    command -v xterm >/dev/null || skip "xterm is not installed"
    : >"$SESSION_DIR/typed.txt"
    xterm -geometry 60x10+20+20 -e sh -c "stty -echo; cat >'$SESSION_DIR/typed.txt'" >/dev/null 2>&1 &
    SESSION_PIDS+=($!)
    wait_for 10 sh -c "xdotool search --sync --onlyvisible --pid $! >/dev/null" || die "xterm did not start"
    TYPIST_PID=$!
    TYPIST=$(xdotool search --onlyvisible --pid $! | head -1)
    xdotool windowactivate --sync "$TYPIST"
}
# typist_has_focus: the typist holds the keyboard (the active window is the xterm's, whichever of
# its windows that is)
typist_has_focus() { [[ $(xdotool getactivewindow getwindowpid 2>/dev/null) == "$TYPIST_PID" ]]; }
