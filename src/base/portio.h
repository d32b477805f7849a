// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

/// Byte-wide access to the PC's I/O ports, as the speaker alert programs them.
class PortIo {
public:
    virtual ~PortIo() = default;

    /// Writes the low byte of value to the port.
    virtual void vbOut(qint16 port, qint16 value) = 0;
    /// Reads one byte from the port (0 to 255).
    virtual qint16 vbInp(qint16 port) = 0;
};

/// The PC speaker's ports: channel 2 of the interval timer and the speaker's gate and data bits.
namespace SpeakerPort {
inline constexpr qint16 Counter = 0x42; ///< the channel's count, low byte then high byte
inline constexpr qint16 Mode = 0x43; ///< the timer's command port
inline constexpr qint16 Control = 0x61; ///< bit 0 gates the channel, bit 1 drives the speaker
} // namespace SpeakerPort
