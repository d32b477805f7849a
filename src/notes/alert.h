// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <optional>

class PortIo;
class QTimer;

/// The warble a note plays when its window is created: PC speaker constants and the divisor rule.
namespace Alert {

inline constexpr double kDividend = 1193280.0;
inline constexpr qint16 kModeByte = 0xB6; // channel 2, low then high byte, square wave, binary
inline constexpr qint16 kSpeakerOn = 0x03;
inline constexpr qint16 kSpeakerOff = 0xFC;
inline constexpr double kHighTone = 4703.94;
inline constexpr double kLowTone = 2615.0;
inline constexpr int kPairs = 4;

/// The timer divisor for a frequency, rounded half to even and held as a signed 16-bit integer;
/// nothing for a zero frequency or a quotient outside the 16-bit range.
std::optional<qint16> divisorFor(double frequency);

/// Switches the speaker off, whatever tone is sounding.
void silence(PortIo& ports);

} // namespace Alert

/// One note's alert: programs the speaker's ports for each tone and waits for the note's tone
/// timer, letting the program's events run meanwhile.
class SpeakerAlert final : public QObject {
    Q_OBJECT
public:
    SpeakerAlert(PortIo& ports, QTimer* timerSound, QObject* parent);

    /// The warble of eight tones; returns when the last has ended.
    void PlayAlert();
    /// One tone on the speaker; returns when it has ended. Nothing is played, and no port or
    /// timer touched, for a frequency whose divisor does not fit.
    void PlayTone(double frequency, int milliseconds);

private:
    void TimerSound_Timer();

    PortIo& m_ports;
    QTimer* m_timerSound;
    bool m_ToneFinished = false;
};
