// SPDX-License-Identifier: GPL-3.0-or-later
#include "hardwareports.h"

#include "platform/speaker/emulatedspeaker.h"

#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TACKPAD_HAVE_PORT_IO 1
#else
#define TACKPAD_HAVE_PORT_IO 0
#endif

namespace {

bool isSpeakerPort(qint16 port)
{
    return port == SpeakerPort::Counter || port == SpeakerPort::Mode
        || port == SpeakerPort::Control;
}

// One ioperm call opens the count and the mode port together.
static_assert(SpeakerPort::Mode == SpeakerPort::Counter + 1);

} // namespace

std::unique_ptr<HardwarePorts> HardwarePorts::open()
{
#if TACKPAD_HAVE_PORT_IO
    if (ioperm(SpeakerPort::Counter, 2, 1) != 0) {
        qCInfo(lcSpeaker) << "no access to the timer ports:" << std::strerror(errno);
        return nullptr;
    }
    if (ioperm(SpeakerPort::Control, 1, 1) != 0) {
        qCInfo(lcSpeaker) << "no access to port 0x61:" << std::strerror(errno);
        ioperm(SpeakerPort::Counter, 2, 0);
        return nullptr;
    }
    return std::unique_ptr<HardwarePorts>(new HardwarePorts);
#else
    qCInfo(lcSpeaker) << "no port I/O on this processor";
    return nullptr;
#endif
}

HardwarePorts::~HardwarePorts()
{
#if TACKPAD_HAVE_PORT_IO
    if (m_turnedOn)
        outb(inb(SpeakerPort::Control) & 0xFC,
            SpeakerPort::Control); // never leave the speaker sounding
    ioperm(SpeakerPort::Control, 1, 0);
    ioperm(SpeakerPort::Counter, 2, 0);
#endif
}

void HardwarePorts::vbOut(qint16 port, qint16 value)
{
    if (!isSpeakerPort(port))
        return;
#if TACKPAD_HAVE_PORT_IO
    outb(quint8(value), quint16(port));
    if (port == SpeakerPort::Control)
        m_turnedOn = (value & 3) != 0;
#else
    Q_UNUSED(value);
#endif
}

qint16 HardwarePorts::vbInp(qint16 port)
{
    if (!isSpeakerPort(port))
        return 0xFF;
#if TACKPAD_HAVE_PORT_IO
    return inb(quint16(port));
#else
    return 0xFF;
#endif
}
