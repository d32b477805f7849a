#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A tray that comes after the program, over D-Bus (StatusNotifierItem), on a bus where no
# notification service can be started:
# - watcher and host both come after the window stood in for the missing tray: the icon goes
#   into the host within two seconds and the stand-in is hidden again;
# - a save that fails is told in a window of the program's own, once;
# - a watcher there from the start and a host that registers two seconds later: the icon docks,
#   and comes back when both are restarted;
# - an XEmbed tray (trayer) that starts two seconds after the program: the icon docks.
#   tray-late.sh PROGRAM
. "$(dirname "$0")/lib.sh"
program=${1:?usage: tray-late.sh PROGRAM}
for n in status-notifier-watcher gtk-sni-tray-standalone busctl trayer; do
    command -v "$n" >/dev/null || skip "$n is not installed"
done
session_start --no-tray --no-audio --bare-bus

HOST_PIDS=()
start_watcher() { status-notifier-watcher >>"$SESSION_DIR/log/watcher.log" 2>&1 & HOST_PIDS+=($!); SESSION_PIDS+=($!); }
start_host() { gtk-sni-tray-standalone --top --end -s 26 >>"$SESSION_DIR/log/host.log" 2>&1 & HOST_PIDS+=($!); SESSION_PIDS+=($!); }
# --augment-creds=no: systemd 257's busctl fails ("No medium found") reading the peer's process.
watcher_up() { busctl --user --augment-creds=no status org.kde.StatusNotifierWatcher >/dev/null 2>&1; }
# The program's item as the watcher lists it (Qt registers it under its unique bus name).
item_of_tackpad() {
    local items name pid
    items=$(busctl --user get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null) || return 1
    for name in $(grep -o '":[0-9.]*[^"]*"' <<<"$items" | tr -d '"' | sed 's|/.*||'); do
        pid=$(busctl --user call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus \
            GetConnectionUnixProcessID s "$name" 2>/dev/null | awk '{print $2}')
        [[ $pid == "$TACKPAD_PID" ]] && return 0
    done
    return 1
}

# A note too long for the file-size limit below: its next save fails as on a full disk.
mkdir -p "$XDG_CONFIG_HOME/Tackpad" && chmod 700 "$XDG_CONFIG_HOME/Tackpad"
{
    printf '[Always]\nRed=ON\n\n[Note]\nRed='
    head -c 5000 /dev/zero | tr '\0' x
    printf '\n'
} >"$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
env TACKPAD_SPEAKER=none bash -c "trap '' XFSZ; ulimit -f 4; exec \"$program\"" \
    >>"$SESSION_DIR/log/tackpad.log" 2>&1 &
TACKPAD_PID=$!
wait_for 10 role_viewable frmRed || die "the Red note did not show at start"
wait_for 8 role_viewable frmMain || die "no stand-in for the missing tray"
log "the settings window stands in after the wait"

start_watcher
wait_for 10 watcher_up || die "the watcher did not start"
start_host
t0=$(date +%s%N)
wait_for 10 item_of_tackpad || die "the icon did not go into the host that came late"
ms=$((($(date +%s%N) - t0) / 1000000))
log "icon in the late host after $ms ms (from the host's start)"
((ms <= 2500)) || die "the icon took $ms ms to dock"
wait_for 3 role_hidden frmMain || die "the stand-in stayed after the tray came"

# The save fails; with no notification service the message is the program's own window.
note=$(window_role frmRed)
read -r nx ny nw nh <<<"$(geometry "$note")"
click $((nx + nw / 2)) $((ny + nh / 2))
xdotool type --delay 60 "abc"
message_windows() { xdotool search --onlyvisible --name '^Tackpad cannot save your notes$' 2>/dev/null | wc -l; }
wait_for 5 sh -c "[ \$(xdotool search --onlyvisible --name '^Tackpad cannot save your notes\$' | wc -l) -ge 1 ]" ||
    die "no message of the failed save without a notification service"
xdotool type --delay 60 "def"
sleep 0.5
(($(message_windows) == 1)) || die "the message showed $(message_windows) times"
log "the failed save is told once, in the program's own window"
{ kill -9 "$TACKPAD_PID"; wait "$TACKPAD_PID"; } 2>/dev/null

# A watcher already there, a host that registers two seconds after the start.
kill "${HOST_PIDS[1]}"
wait "${HOST_PIDS[1]}" 2>/dev/null
rm -f "$XDG_CONFIG_HOME/Tackpad/Tackpad.ini"
start_tackpad "$program" TACKPAD_SPEAKER=none
sleep 2
start_host
t0=$(date +%s%N)
wait_for 10 item_of_tackpad || die "the icon did not go into a host that registered late"
ms=$((($(date +%s%N) - t0) / 1000000))
log "icon in the host that registered late after $ms ms (from the host's start)"
((ms <= 2500)) || die "the icon took $ms ms to dock"
role_viewable frmMain && die "the settings window shows although a tray came within the wait"

# A panel restarted with its watcher: the item is registered with the new one.
for p in "${HOST_PIDS[@]}"; do kill "$p" 2>/dev/null; done
wait_for 5 sh -c '! busctl --user --augment-creds=no status org.kde.StatusNotifierWatcher' || die "the watcher did not end"
start_watcher
start_host
wait_for 5 item_of_tackpad || die "the icon did not come back into a restarted panel"
log "the icon is back in a restarted panel"

# No host any more; an XEmbed tray that comes two seconds after the start.
{ kill -9 "$TACKPAD_PID"; wait "$TACKPAD_PID"; } 2>/dev/null
for p in "${HOST_PIDS[@]}"; do kill "$p" 2>/dev/null; done
wait_for 5 sh -c '! busctl --user --augment-creds=no status org.kde.StatusNotifierWatcher' || die "the watcher did not end"
start_tackpad "$program" TACKPAD_SPEAKER=none
sleep 2
trayer --edge bottom --align right --widthtype request --height 24 >>"$SESSION_DIR/log/trayer.log" 2>&1 &
SESSION_PIDS+=($!)
t0=$(date +%s%N)
wait_for 10 tray_icon || die "the icon did not go into an XEmbed tray that came late"
ms=$((($(date +%s%N) - t0) / 1000000))
log "icon in the XEmbed tray that came late after $ms ms (from the tray's start)"
((ms <= 2500)) || die "the icon took $ms ms to dock"
echo "PASS"
