// SPDX-License-Identifier: GPL-3.0-or-later
#include "alert.h"

#include "base/intervals.h"
#include "base/portio.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <cfenv>
#include <cmath>

Q_DECLARE_LOGGING_CATEGORY(lcNotes)

namespace Alert {

std::optional<qint16> divisorFor(double frequency)
{
    if (frequency == 0.0 || !std::isfinite(frequency))
        return std::nullopt;
    const double quotient = kDividend / frequency;
    // std::nearbyint rounds half to even in the default rounding mode.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(quotient);
    std::fesetround(saved);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

void silence(PortIo& ports)
{
    ports.vbOut(SpeakerPort::Control, qint16(ports.vbInp(SpeakerPort::Control) & kSpeakerOff));
}

} // namespace Alert

SpeakerAlert::SpeakerAlert(PortIo& ports, QTimer* timerSound, QObject* parent)
    : QObject(parent)
    , m_ports(ports)
    , m_timerSound(timerSound)
{
    connect(m_timerSound, &QTimer::timeout, this, &SpeakerAlert::TimerSound_Timer);
}

void SpeakerAlert::PlayAlert()
{
    for (int pair = 0; pair < Alert::kPairs; ++pair) {
        PlayTone(Alert::kHighTone, intervals().toneMs);
        PlayTone(Alert::kLowTone, intervals().toneMs);
    }
}

void SpeakerAlert::PlayTone(double frequency, int milliseconds)
{
    using namespace Alert;
    const std::optional<qint16> divisor = divisorFor(frequency);
    if (!divisor) {
        qCWarning(lcNotes) << "no tone for" << frequency << "Hz";
        return;
    }
    m_ports.vbOut(SpeakerPort::Mode, kModeByte);
    m_ports.vbOut(SpeakerPort::Counter, qint16(*divisor & 0xFF));
    m_ports.vbOut(SpeakerPort::Counter, qint16(*divisor / 256));
    m_ports.vbOut(SpeakerPort::Control, qint16(m_ports.vbInp(SpeakerPort::Control) | kSpeakerOn));
    m_ToneFinished = false;
    m_timerSound->setInterval(milliseconds);
    m_timerSound->start();
    // Let the program handle its events while the tone sounds, sleeping while none is pending.
    while (!m_ToneFinished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    silence(m_ports);
}

void SpeakerAlert::TimerSound_Timer()
{
    m_ToneFinished = true;
    m_timerSound->stop();
}
