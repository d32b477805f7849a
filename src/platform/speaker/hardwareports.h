// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/portio.h"

#include <memory>

/// The real speaker ports 0x42, 0x43 and 0x61, for a process allowed to use them (x86 only).
/// Other ports are left alone: touching them without permission would fault.
class HardwarePorts final : public PortIo {
public:
    /// Null unless access to the speaker ports was granted.
    static std::unique_ptr<HardwarePorts> open();
    ~HardwarePorts() override;
    HardwarePorts(const HardwarePorts&) = delete;
    HardwarePorts& operator=(const HardwarePorts&) = delete;

    void vbOut(qint16 port, qint16 value) override;
    qint16 vbInp(qint16 port) override;

private:
    HardwarePorts() = default;

    bool m_turnedOn = false;
};
