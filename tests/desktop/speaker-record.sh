#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the note alert through the emulated speaker on a private PulseAudio daemon whose only
# sink is a null sink, records its monitor and checks the eight tones (tst_speaker desktopRecording).
#
#   tests/desktop/speaker-record.sh BUILD_DIR/tests/tst_speaker
#
# Needs pulseaudio and pulseaudio-utils (parec, pactl). Starts and stops only its own daemon.
set -u
test_binary=${1:?usage: speaker-record.sh path/to/tst_speaker}
for program in pulseaudio pactl parec; do
    command -v "$program" >/dev/null || { echo "speaker-record: $program is missing" >&2; exit 2; }
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/tackpad-speaker.XXXXXX") || exit 2
mkdir -p "$dir/run" "$dir/home" && chmod 700 "$dir/run"
pulse_pid=
cleanup() {
    [[ -n $pulse_pid ]] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

export HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" PULSE_SERVER="unix:$dir/run/pulse/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
    --load="module-native-protocol-unix socket=$dir/run/pulse/native auth-anonymous=1" \
    --load="module-null-sink sink_name=speaker rate=48000" >"$dir/pulse.log" 2>&1 &
pulse_pid=$!
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink speaker || { echo "speaker-record: PulseAudio did not start" >&2; cat "$dir/pulse.log" >&2; exit 2; }

TACKPAD_SPEAKER_MONITOR=speaker.monitor QT_QPA_PLATFORM=offscreen \
    QT_LOGGING_RULES="tackpad.speaker.debug=true" "$test_binary" desktopRecording
