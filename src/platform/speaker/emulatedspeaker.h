// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/portio.h"

#include <QLoggingCategory>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <span>
#include <thread>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcSpeaker)

/// The PC speaker as the ports show it: channel 2 of the interval timer (command port 0x43, count
/// port 0x42) and the gate/data bits of port 0x61. It keeps no time; it only says what sounds.
class SpeakerPortModel final {
public:
    static constexpr quint32 clockHz = 1193182;

    /// Applies a byte written to a port. True when what the speaker plays changed: it started,
    /// stopped, or restarted with a freshly loaded count.
    bool write(quint16 port, quint8 value);
    /// What a read of the port gives.
    quint8 read(quint16 port);

    /// A periodic tone plays: gate and data bits set and a count loaded in a square-wave mode.
    bool sounding() const;
    /// The loaded count, 1 to 65536 (a written 0 means 65536).
    quint32 divisor() const { return m_divisor; }

private:
    quint8 m_port61 = 0;
    quint8 m_access = 3; // 1: low byte only, 2: high byte only, 3: low then high
    quint8 m_mode = 3;
    bool m_bcd = false;
    bool m_writeHigh = false; // the byte flip-flop, for writes
    bool m_readHigh = false; // and for reads
    quint8 m_lowByte = 0;
    bool m_counting = false; // a command byte stops the counter until its count is complete
    quint16 m_rawCount = 0;
    quint32 m_divisor = 65536;
    bool m_latched = false;
    quint16 m_latch = 0;
};

/// Ports that keep the model's state but make no sound.
class SilentPorts final : public PortIo {
public:
    void vbOut(qint16 port, qint16 value) override;
    qint16 vbInp(qint16 port) override;

private:
    SpeakerPortModel m_model;
};

/// What the speaker plays from timeNs (steady clock) on.
struct SpeakerEvent {
    qint64 timeNs = 0;
    bool sounding = false;
    quint32 divisor = 65536;
};

/// Turns a timeline of speaker events into 48 kHz mono 16-bit samples, a square wave at
/// 1193182 / divisor Hz while sounding and zeros otherwise. Sample n stands for the instant
/// originNs + n / 48000 s; each tone's phase starts at its event, as the timer reloads then.
class SquareWaveRenderer final {
public:
    static constexpr int sampleRate = 48000;
    static constexpr qint16 defaultAmplitude = 8000;

    explicit SquareWaveRenderer(qint64 originNs, qint16 amplitude = defaultAmplitude);

    /// Events come in time order; one older than the samples already rendered takes effect at
    /// the next sample.
    void add(const SpeakerEvent& event);
    /// Appends every sample that stands for an instant before untilNs.
    void renderUntil(qint64 untilNs, std::vector<qint16>& out);

    qint64 sampleTimeNs(qint64 index) const;

private:
    qint16 sampleAt(qint64 timeNs) const;

    qint64 m_originNs;
    qint16 m_amplitude;
    qint64 m_next = 0;
    std::deque<SpeakerEvent> m_events;
    SpeakerEvent m_current;
};

/// Where the emulated speaker's samples (48 kHz, mono, signed 16-bit) go. Every call comes from
/// the speaker's own worker thread, so open() and close() may wait.
class AudioOutput {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    virtual ~AudioOutput() = default;

    /// Loads what open() needs, ahead of the first alert. Called once, before anything else.
    virtual void prepare() { }
    /// Opens a stream; gives up at the deadline or once cancel is set.
    virtual bool open(Deadline deadline, const std::atomic<bool>& cancel) = 0;
    /// Queues samples to play after those queued before; false when the stream broke.
    virtual bool write(std::span<const qint16> samples) = 0;
    /// Lets queued samples play out (not after the deadline or cancel), then releases the stream.
    /// Also called after a failed open().
    virtual void close(Deadline deadline, const std::atomic<bool>& cancel) = 0;
};

/// The output to the desktop's PulseAudio server, through libpulse loaded at run time.
std::unique_ptr<AudioOutput> createPulseAudioOutput();

struct EmulatedSpeakerTiming {
    /// Silence played before the first event, and so the constant delay of the sound: a new
    /// stream swallows its first milliseconds, and the worker renders only what has happened.
    std::chrono::milliseconds leadIn { 80 };
    /// The stream is closed once the speaker has been silent this long.
    std::chrono::milliseconds closeAfterSilence { 600 };
    /// How long to wait for the audio server before the alert stays silent.
    std::chrono::milliseconds openTimeout { 2000 };
    /// The longest wait for the worker when the speaker is destroyed.
    std::chrono::milliseconds stopTimeout { 1000 };
};

/// The PC speaker emulated on the desktop's audio output. Port calls only note the time of each
/// change; a worker thread opens a stream when a tone starts, renders the timeline behind a
/// constant delay and closes the stream when the speaker has fallen silent.
class EmulatedSpeaker final : public PortIo {
public:
    /// Plays through PulseAudio.
    EmulatedSpeaker();
    explicit EmulatedSpeaker(
        std::unique_ptr<AudioOutput> output, EmulatedSpeakerTiming timing = {});
    ~EmulatedSpeaker() override;
    EmulatedSpeaker(const EmulatedSpeaker&) = delete;
    EmulatedSpeaker& operator=(const EmulatedSpeaker&) = delete;

    void vbOut(qint16 port, qint16 value) override;
    qint16 vbInp(qint16 port) override;

private:
    struct Shared;

    SpeakerPortModel m_model;
    std::shared_ptr<Shared> m_shared;
    std::chrono::milliseconds m_stopTimeout;
    std::thread m_worker;
};
