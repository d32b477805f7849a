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
