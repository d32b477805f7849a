#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Harness of the Wayland desktop tests: a private compositor (headless sway, or mutter or KWin
# nested in a private Xvfb), with or without XWayland, a session D-Bus, and functions to drive it
# as a person would. sway refuses to run as root: run as root, the session runs as the user
# nobody. Source it after ../lib.sh, then call wl_start; everything is stopped on exit.
#   sway: the pointer is wlpointer (a virtual pointer), keys come from wtype, pictures from grim.
#   mutter, kwin: xdotool and import on the outer Xvfb, where the compositor's window fills the screen.

WL_W=1280 WL_H=800
AS=()
((EUID == 0)) && AS=(setpriv --reuid=65534 --regid=65534 --clear-groups)

wl_stop() {
    local i
    for ((i = ${#SESSION_PIDS[@]} - 1; i >= 0; i--)); do kill "${SESSION_PIDS[i]}" 2>/dev/null; done
    for i in "${SESSION_PIDS[@]}"; do wait "$i" 2>/dev/null; done
    [[ -n ${SESSION_DIR:-} && -z ${KEEP_SESSION:-} ]] && rm -rf "$SESSION_DIR"
}

# as_user [VAR=VALUE...] CMD...: a program of the session, as its user, in its environment
wl_env() {
    WL_ENV=(PATH=/usr/bin:/bin HOME="$SESSION_DIR/home" XDG_RUNTIME_DIR="$SESSION_DIR/run"
        XDG_CONFIG_HOME="$SESSION_DIR/config" LANG=C.UTF-8 DBUS_SESSION_BUS_ADDRESS="unix:path=$SESSION_DIR/run/bus"
        WAYLAND_DISPLAY="$WL_DISPLAY")
    [[ -n $WL_X ]] && WL_ENV+=(DISPLAY="$WL_X")
    [[ -n $WL_XAUTH ]] && WL_ENV+=(XAUTHORITY="$WL_XAUTH")
    [[ -n $SWAYSOCK ]] && WL_ENV+=(SWAYSOCK="$SWAYSOCK")
    return 0
}
as_user() { wl_env; env -i "${WL_ENV[@]}" "${AS[@]}" env "$@"; }
bg_user() { # bg_user NAME [VAR=VALUE...] CMD...: as_user in the background, output in log/NAME.log
    local name=$1
    shift
    wl_env
    env -i "${WL_ENV[@]}" "${AS[@]}" env "$@" >"$SESSION_DIR/log/$name.log" 2>&1 &
    SESSION_PIDS+=($!)
}

# wl_start sway|mutter|kwin [--no-xwayland] [--pointer WLPOINTER] [--outputs N (kwin)]
wl_start() {
    WL_COMP=$1
    shift
    local xw=1 pointer="" outputs=1
    while (($#)); do
        case $1 in --no-xwayland) xw=0 ;; --pointer) pointer=$2; shift ;; --outputs) outputs=$2; shift ;; esac
        shift
    done
    local need=(dbus-daemon foot)
    case $WL_COMP in
    sway) need+=(sway swaymsg wtype grim convert); [[ -x $pointer ]] || skip "no virtual pointer program was built" ;;
    mutter) need+=(mutter Xvfb xdotool import) ;;
    kwin) need+=(kwin_wayland Xvfb xdotool import) ;;
    esac
    ((xw)) && need+=(Xwayland)
    for n in "${need[@]}"; do command -v "$n" >/dev/null || skip "$n is not installed"; done

    SESSION_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tackpad-wayland.XXXXXX")
    chmod 755 "$SESSION_DIR"
    mkdir -p "$SESSION_DIR"/{run,home,config,log,bin}
    ((EUID == 0)) && chown 65534:65534 "$SESSION_DIR"/{run,home,config,log}
    chmod 700 "$SESSION_DIR/run"
    trap wl_stop EXIT
    WL_DISPLAY=wayland-1 WL_X="" WL_XAUTH="" SWAYSOCK=""

    bg_user dbus dbus-daemon --session --nofork --nopidfile --address="unix:path=$SESSION_DIR/run/bus"
    wait_for 10 test -S "$SESSION_DIR/run/bus" || die "dbus-daemon did not start"
    if [[ $WL_COMP != sway ]]; then
        Xvfb -displayfd 3 -screen 0 ${WL_W}x${WL_H}x24 -nolisten tcp -noreset 3>"$SESSION_DIR/outer" \
            >"$SESSION_DIR/log/xvfb.log" 2>&1 &
        SESSION_PIDS+=($!)
        wait_for 10 grep -q '[0-9]' "$SESSION_DIR/outer" || die "Xvfb did not start"
        WL_OUTER=":$(tr -dc 0-9 <"$SESSION_DIR/outer")"
        DISPLAY=$WL_OUTER xhost +si:localuser:"$( ((EUID == 0)) && echo nobody || id -un)" >/dev/null
    fi
    case $WL_COMP in
    sway)
        { echo "output * bg #3f3f3f solid_color"
          echo "output HEADLESS-1 resolution ${WL_W}x$WL_H position 0 0"
          echo "xwayland $( ((xw)) && echo force || echo disable)"
          printf "bar {\n    position top\n}\n"
          echo "exec env > $SESSION_DIR/log/sway.env"; } >"$SESSION_DIR/sway.conf"
        bg_user sway WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$SESSION_DIR/sway.conf"
        wait_for 15 grep -q '^WAYLAND_DISPLAY=' "$SESSION_DIR/log/sway.env" || skip "sway did not start"
        if ((xw)); then
            wait_for 15 grep -q '^DISPLAY=' "$SESSION_DIR/log/sway.env" || die "sway started no XWayland"
            WL_X=$(sed -n 's/^DISPLAY=//p' "$SESSION_DIR/log/sway.env")
        fi
        WL_DISPLAY=$(sed -n 's/^WAYLAND_DISPLAY=//p' "$SESSION_DIR/log/sway.env")
        SWAYSOCK=$(sed -n 's/^SWAYSOCK=//p' "$SESSION_DIR/log/sway.env")
        mkfifo "$SESSION_DIR/pointer"
        ((EUID == 0)) && chown 65534 "$SESSION_DIR/pointer"
        sleep infinity >"$SESSION_DIR/pointer" &
        SESSION_PIDS+=($!)
        cp "$pointer" "$SESSION_DIR/bin/wlpointer"
        bg_user wlpointer sh -c "exec $SESSION_DIR/bin/wlpointer ${WL_W}x$WL_H <$SESSION_DIR/pointer"
        wait_for 5 grep -q ready "$SESSION_DIR/log/wlpointer.log" || die "the virtual pointer did not start"
        # the bar's tray (a StatusNotifierItem host) is there once its watcher is
        wait_for 10 as_user dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.GetNameOwner string:org.kde.StatusNotifierWatcher || die "swaybar has no tray"
        ;;
    mutter)
        local xa=()
        ((xw)) || xa=(--no-x11)
        bg_user mutter DISPLAY="$WL_OUTER" MUTTER_DEBUG_DUMMY_MODE_SPECS=${WL_W}x$WL_H mutter --nested --wayland \
            --wayland-display "$WL_DISPLAY" "${xa[@]}"
        wait_for 15 test -S "$SESSION_DIR/run/$WL_DISPLAY" || skip "mutter did not start"
        if ((xw)); then
            wait_for 10 grep -q 'Using public X11 display' "$SESSION_DIR/log/mutter.log" || die "mutter started no XWayland"
            WL_X=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$SESSION_DIR/log/mutter.log" | tail -1)
            WL_XAUTH=$(ls "$SESSION_DIR"/run/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
        fi
        ;;
    kwin)
        # Debian's kwin_wayland carries a file capability that containers may refuse; a copy has none.
        cp "$(command -v kwin_wayland)" "$SESSION_DIR/bin/kwin_wayland"
        local xa=()
        ((xw)) && xa=(--xwayland)
        printf '#!/bin/sh\nenv > %s/log/kwin.env\n' "$SESSION_DIR" >"$SESSION_DIR/bin/ready"
        chmod 755 "$SESSION_DIR/bin/ready"
        bg_user kwin DISPLAY="$WL_OUTER" "$SESSION_DIR/bin/kwin_wayland" --x11-display "$WL_OUTER" "${xa[@]}" \
            --width $WL_W --height $WL_H --output-count "$outputs" --socket "$WL_DISPLAY" --no-lockscreen \
            "$SESSION_DIR/bin/ready"
        wait_for 20 test -s "$SESSION_DIR/log/kwin.env" || skip "kwin did not start"
        ((xw)) && WL_X=$(sed -n 's/^DISPLAY=//p' "$SESSION_DIR/log/kwin.env")
        ;;
    esac
    log "$WL_COMP on $WL_DISPLAY${WL_X:+, XWayland $WL_X} in $SESSION_DIR"
}

# start_tackpad_wl PROGRAM [env assignments...]: the program as the session's user
start_tackpad_wl() {
    local program=$1
    shift
    cp "$program" "$SESSION_DIR/bin/tackpad"
    wl_env
    # TACKPAD_QPA: the window system a person chose for the program (QT_QPA_PLATFORM)
    env -i "${WL_ENV[@]}" "${AS[@]}" env TACKPAD_SPEAKER=none ${TACKPAD_QPA:+QT_QPA_PLATFORM=$TACKPAD_QPA} \
        "$@" "$SESSION_DIR/bin/tackpad" \
        >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
    TACKPAD_PID=$!
    SESSION_PIDS+=($!)
}
ini() { echo "$SESSION_DIR/config/Tackpad/Tackpad.ini"; }
preset() { # preset LINES...: the settings file the program starts with
    mkdir -p "$SESSION_DIR/config/Tackpad"
    printf '%s\n' "$@" >"$(ini)"
    ((EUID == 0)) && chown -R 65534:65534 "$SESSION_DIR/config/Tackpad"
}

# Pointer and keys, the button held about 40 ms.
ptr() {
    if [[ $WL_COMP == sway ]]; then
        echo "$*" >"$SESSION_DIR/pointer"
    else
        case $1 in
        abs) DISPLAY=$WL_OUTER xdotool mousemove "$2" "$3" ;;
        down) DISPLAY=$WL_OUTER xdotool mousedown 1 ;;
        up) DISPLAY=$WL_OUTER xdotool mouseup 1 ;;
        esac
    fi
}
# After a jump from one of its windows to another, XWayland 22 places its pointer off by the jump
# until the next motion: a person's pointer moves on, and so does this one, by a pixel.
point() { ptr abs "$1" "$2"; sleep 0.05; ptr abs $(($1 + 1)) "$2"; sleep 0.05; }
click() { point "$1" "$2"; ptr down; sleep 0.04; ptr up; sleep 0.05; }
dclick() { point "$1" "$2"; ptr down; sleep 0.04; ptr up; sleep 0.08; ptr down; sleep 0.04; ptr up; }
drag() { # drag X Y DX DY: press, 8 steps 40 ms apart, release
    local i
    point "$1" "$2"
    ptr down
    sleep 0.04
    for i in 1 2 3 4 5 6 7 8; do ptr abs $(($1 + $3 * i / 8)) $(($2 + $4 * i / 8)); sleep 0.04; done
    ptr up
    sleep 0.2
}
typetext() { # typetext TEXT: lowercase letters and blanks
    if [[ $WL_COMP == sway ]]; then
        # wtype makes a new keyboard each run: without the pause XWayland drops the first key
        as_user wtype -s 250 -d 30 "$1"
    else
        DISPLAY=$WL_OUTER xdotool type --delay 30 "$1"
    fi
}
enter() { if [[ $WL_COMP == sway ]]; then as_user wtype -k Return; else DISPLAY=$WL_OUTER xdotool key Return; fi; }
shot() { # shot NAME: a picture of the whole screen (uncompressed, to be quick), prints its file
    local f=$SESSION_DIR/log/$1.ppm
    if [[ $WL_COMP == sway ]]; then as_user grim -t ppm "$f"; else DISPLAY=$WL_OUTER import -window root "$f"; fi
    echo "$f"
}
pixel() { # pixel PICTURE X Y: "R,G,B"
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -1
}

# red_patches PICTURE: "X Y W H" of each patch of the Red note's colour in the picture
red_patches() {
    convert "$1" -fill black +opaque 'rgb(255,128,128)' -define connected-components:verbose=true \
        -connected-components 8 null: 2>/dev/null | grep 'srgb(255,128,128)' |
        sed -n 's/^ *[0-9]*: \([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\) .*/\3 \4 \1 \2/p'
}
# note_in PICTURE: "X Y W H" of the Red note in the picture (a patch of its colour of about its
# size: the settings window has smaller ones), nothing when none shows
note_in() { red_patches "$1" | awk '$3 > 90 && $3 < 140 && $4 > 100 && $4 < 150' | head -1; }

look_for() { # look_for SECONDS CMD...: a screenshot twice a second
    local t=$(($1 * 2))
    shift
    while ((t-- > 0)); do "$@" && return 0; sleep 0.5; done
    return 1
}
# Without a tray (KWin here) the settings window stands in for it after five seconds, centred and
# 705x322, its grey at its bottom-left corner: the person puts it away with Escape.
settings_away() {
    settings_shown() { [[ $(pixel "$(shot settings)" $(((WL_W - 705) / 2 + 8)) $(((WL_H + 322) / 2 - 20))) == 64,64,64 ]]; }
    look_for 10 settings_shown || die "no settings window stood in for the missing tray"
    sleep 0.5
    DISPLAY=$WL_OUTER xdotool key Escape
    settings_gone() { ! settings_shown; }
    look_for 3 settings_gone || die "Escape did not put the settings window away"
}

# sway: the app_id (or X class) of the focused window
sway_focused() {
    as_user swaymsg -t get_tree -r | /usr/bin/python3 -c '
import json, sys
def walk(n):
    if n.get("focused") and n.get("pid"):
        print(n.get("app_id") or (n.get("window_properties") or {}).get("class"))
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))'
}
# sway's view of the program's windows, one a line: "X Y W H FLOATING FOCUSED SHELL"
sway_windows() {
    as_user swaymsg -t get_tree -r | /usr/bin/python3 -c '
import json, sys
def walk(n, floating):
    if n.get("pid") and (n.get("app_id") == "org.tackpad.Tackpad" or (n.get("window_properties") or {}).get("class") == "Tackpad"):
        r = n["rect"]
        print(r["x"], r["y"], r["width"], r["height"], int(floating), int(n["focused"]), n["shell"])
    for c in n.get("nodes", []): walk(c, floating)
    for c in n.get("floating_nodes", []): walk(c, True)
walk(json.load(sys.stdin), False)'
}
