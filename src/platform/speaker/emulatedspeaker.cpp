// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulatedspeaker.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcSpeaker, "tackpad.speaker", QtCriticalMsg)

namespace {

constexpr qint64 nsPerSecond = 1'000'000'000;
// Above half the sample rate a tone can only alias; the speaker cone could not follow it either.
constexpr quint32 lowestAudibleDivisor
    = SpeakerPortModel::clockHz / (SquareWaveRenderer::sampleRate / 2) + 1;

qint64 steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

quint32 fromBcd(quint16 value)
{
    return (value >> 12 & 0xF) * 1000 + (value >> 8 & 0xF) * 100 + (value >> 4 & 0xF) * 10
        + (value & 0xF);
}

} // namespace

bool SpeakerPortModel::write(quint16 port, quint8 value)
{
    const bool wasSounding = sounding();
    bool reloaded = false;
    switch (port) {
    case SpeakerPort::Mode: {
        if ((value >> 6) != 2)
            break; // channels 0 and 1 drive the clock and refresh, not the speaker; read-back
                   // unmodelled
        const quint8 access = value >> 4 & 3;
        if (access == 0) { // counter latch
            if (!m_latched) {
                m_latched = true;
                m_latch = m_rawCount;
                m_readHigh = false;
            }
            break;
        }
        m_access = access;
        m_mode = value >> 1 & 7;
        m_bcd = value & 1;
        m_writeHigh = false;
        m_readHigh = false;
        m_counting = false;
        break;
    }
    case SpeakerPort::Counter: {
        quint16 count = 0;
        if (m_access == 1) {
            count = value;
        } else if (m_access == 2) {
            count = quint16(value << 8);
        } else if (!m_writeHigh) {
            m_lowByte = value;
            m_writeHigh = true;
            return false; // half a count changes nothing yet
        } else {
            count = quint16(value << 8 | m_lowByte);
            m_writeHigh = false;
        }
        m_rawCount = count;
        if (m_bcd)
            m_divisor = count == 0 ? 10000 : fromBcd(count);
        else
            m_divisor = count == 0 ? 65536 : count;
        m_counting = true;
        reloaded = true;
        break;
    }
    case SpeakerPort::Control: {
        const bool gateRises = (value & 1) && !(m_port61 & 1);
        m_port61 = value;
        reloaded = gateRises; // a rising gate reloads the count
        break;
    }
    default:
        break;
    }
    const bool nowSounding = sounding();
    return wasSounding != nowSounding || (nowSounding && reloaded);
}

quint8 SpeakerPortModel::read(quint16 port)
{
    if (port == SpeakerPort::Control)
        return m_port61;
    if (port != SpeakerPort::Counter)
        return 0xFF; // the command port cannot be read; unknown ports float high
    // The count itself is not run down: nothing here times it, and the alert never reads it.
    const quint16 count = m_latched ? m_latch : m_rawCount;
    quint8 byte = 0;
    if (m_access == 1) {
        byte = count & 0xFF;
        m_latched = false;
    } else if (m_access == 2) {
        byte = count >> 8;
        m_latched = false;
    } else {
        byte = m_readHigh ? count >> 8 : count & 0xFF;
        if (m_readHigh)
            m_latched = false;
        m_readHigh = !m_readHigh;
    }
    return byte;
}

bool SpeakerPortModel::sounding() const
{
    const bool periodic = (m_mode & 3) == 2 || (m_mode & 3) == 3; // modes 2 and 3 (6, 7 alias them)
    return (m_port61 & 3) == 3 && m_counting && periodic;
}

void SilentPorts::vbOut(qint16 port, qint16 value) { m_model.write(quint16(port), quint8(value)); }

qint16 SilentPorts::vbInp(qint16 port) { return m_model.read(quint16(port)); }

SquareWaveRenderer::SquareWaveRenderer(qint64 originNs, qint16 amplitude)
    : m_originNs(originNs)
    , m_amplitude(amplitude)
{
}

void SquareWaveRenderer::add(const SpeakerEvent& event) { m_events.push_back(event); }

qint64 SquareWaveRenderer::sampleTimeNs(qint64 index) const
{
    return m_originNs + index / sampleRate * nsPerSecond
        + index % sampleRate * nsPerSecond / sampleRate;
}

void SquareWaveRenderer::renderUntil(qint64 untilNs, std::vector<qint16>& out)
{
    for (qint64 t = sampleTimeNs(m_next); t < untilNs; t = sampleTimeNs(++m_next)) {
        while (!m_events.empty() && m_events.front().timeNs <= t) {
            m_current = m_events.front();
            m_current.timeNs = std::min(m_current.timeNs, t);
            m_events.pop_front();
        }
        out.push_back(sampleAt(t));
    }
}

qint16 SquareWaveRenderer::sampleAt(qint64 timeNs) const
{
    if (!m_current.sounding || m_current.divisor < lowestAudibleDivisor)
        return 0;
    // Mode 3 keeps the output high for the first (n + 1) / 2 clocks of each period of n.
    const auto ticks = static_cast<__int128>(timeNs - m_current.timeNs) * SpeakerPortModel::clockHz
        / nsPerSecond;
    const auto position = static_cast<qint64>(ticks % m_current.divisor);
    return position < qint64(m_current.divisor + 1) / 2 ? m_amplitude : qint16(-m_amplitude);
}

// ---------------------------------------------------------------------------------------------

struct EmulatedSpeaker::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable finishedChanged;
    std::vector<SpeakerEvent> pending;
    bool stop = false;
    bool finished = false;
    std::atomic<bool> cancel { false };
};

namespace {

constexpr auto tick = std::chrono::milliseconds(10);

// One alert session: opens the output, renders the timeline from the first event on, and
// closes once the speaker has been silent long enough (or at once on stop).
template <typename SharedState>
void playSession(SharedState& shared, AudioOutput& output, const EmulatedSpeakerTiming& timing)
{
    qint64 firstEventNs = 0;
    {
        std::lock_guard lock(shared.mutex);
        firstEventNs = shared.pending.front().timeNs;
    }
    const qint64 leadInNs = std::chrono::nanoseconds(timing.leadIn).count();
    const qint64 silenceNs = std::chrono::nanoseconds(timing.closeAfterSilence).count();
    SquareWaveRenderer renderer(firstEventNs - leadInNs);

    const auto openStarted = std::chrono::steady_clock::now();
    bool playing = output.open(openStarted + timing.openTimeout, shared.cancel);
    if (playing)
        qCDebug(lcSpeaker) << "audio stream open after"
                           << std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - openStarted)
                                  .count()
                           << "ms";

    std::vector<SpeakerEvent> batch;
    std::vector<qint16> samples;
    qint64 lastEventNs = firstEventNs;
    bool sounding = true;
    for (;;) {
        qint64 nowNs = 0;
        {
            std::unique_lock lock(shared.mutex);
            if (shared.stop)
                break;
            batch.swap(shared.pending);
            // Read under the lock: every event stamped before this instant is in the batch.
            nowNs = steadyNowNs();
        }
        for (const SpeakerEvent& event : batch) {
            renderer.add(event);
            lastEventNs = event.timeNs;
            sounding = event.sounding;
        }
        batch.clear();
        samples.clear();
        renderer.renderUntil(nowNs, samples);
        if (playing && !output.write(samples)) {
            qCInfo(lcSpeaker) << "audio stream broke off";
            playing = false;
        }
        if (!sounding && nowNs - lastEventNs >= silenceNs)
            break;
        std::unique_lock lock(shared.mutex);
        shared.wake.wait_for(lock, tick, [&] { return shared.stop; });
    }
    output.close(std::chrono::steady_clock::now() + timing.openTimeout, shared.cancel);
}

} // namespace

EmulatedSpeaker::EmulatedSpeaker()
    : EmulatedSpeaker(createPulseAudioOutput())
{
}

EmulatedSpeaker::EmulatedSpeaker(std::unique_ptr<AudioOutput> output, EmulatedSpeakerTiming timing)
    : m_shared(std::make_shared<Shared>())
    , m_stopTimeout(timing.stopTimeout)
{
    // The worker owns the output and shares the state, so it may outlive a speaker that gave up
    // waiting for it.
    m_worker = std::thread([shared = m_shared, output = std::move(output), timing] {
        output->prepare();
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->wake.wait(lock, [&] { return shared->stop || !shared->pending.empty(); });
            if (shared->stop)
                break;
            lock.unlock();
            playSession(*shared, *output, timing);
            lock.lock();
        }
        shared->finished = true;
        shared->finishedChanged.notify_all();
    });
}

EmulatedSpeaker::~EmulatedSpeaker()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stop = true;
    m_shared->cancel = true;
    m_shared->wake.notify_all();
    const bool finished = m_shared->finishedChanged.wait_for(
        lock, m_stopTimeout, [this] { return m_shared->finished; });
    lock.unlock();
    if (finished) {
        m_worker.join();
    } else {
        // Stuck in the audio library (a name look-up, say): better a lost thread than a hang.
        qCWarning(lcSpeaker) << "audio worker did not stop in time; left to finish on its own";
        m_worker.detach();
    }
}

void EmulatedSpeaker::vbOut(qint16 port, qint16 value)
{
    if (!m_model.write(quint16(port), quint8(value)))
        return;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->pending.push_back({ steadyNowNs(), m_model.sounding(), m_model.divisor() });
    }
    m_shared->wake.notify_one();
}

qint16 EmulatedSpeaker::vbInp(qint16 port) { return m_model.read(quint16(port)); }
