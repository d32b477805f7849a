// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/speaker/emulatedspeaker.h"

#include <QString>

#include <memory>

/// The kernel's PC speaker input device: the same port model, sounded with SND_TONE events.
class PcSpkrPorts final : public PortIo {
public:
    /// The first PC speaker event device that can be written to, or null.
    static std::unique_ptr<PcSpkrPorts> open();

    /// Takes over fd, an input event device opened for writing. Tests pass a plain file, to see
    /// the events that would be sent.
    explicit PcSpkrPorts(int fd);
    ~PcSpkrPorts() override;
    PcSpkrPorts(const PcSpkrPorts&) = delete;
    PcSpkrPorts& operator=(const PcSpkrPorts&) = delete;

    void vbOut(qint16 port, qint16 value) override;
    qint16 vbInp(qint16 port) override;

private:
    void sendTone(int hz);

    SpeakerPortModel m_model;
    int m_fd;
    int m_hz = 0;
    bool m_writeFailed = false;
};
