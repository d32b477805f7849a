// SPDX-License-Identifier: GPL-3.0-or-later
#include "speakerfactory.h"

#include "platform/speaker/emulatedspeaker.h"
#include "platform/speaker/hardwareports.h"
#include "platform/speaker/pcspkrports.h"

#include <QByteArray>

#include <exception>

namespace {

std::unique_ptr<PortIo> emulatedOrSilent()
{
    try {
        return std::make_unique<EmulatedSpeaker>();
    } catch (const std::exception& e) { // no thread to be had
        qCInfo(lcSpeaker) << "no emulated speaker:" << e.what();
        return std::make_unique<SilentPorts>();
    }
}

std::unique_ptr<PortIo> orSilent(std::unique_ptr<PortIo> ports, const char* what)
{
    if (ports)
        return ports;
    qCInfo(lcSpeaker) << what << "not usable; the speaker stays silent";
    return std::make_unique<SilentPorts>();
}

} // namespace

std::unique_ptr<PortIo> createSpeakerPorts(QByteArrayView choice)
{
    const QByteArray name = choice.toByteArray().trimmed().toLower();
    if (name == "none")
        return std::make_unique<SilentPorts>();
    if (name == "audio")
        return emulatedOrSilent();
    if (name == "pcspkr")
        return orSilent(PcSpkrPorts::open(), "kernel PC speaker");
    if (name == "ports")
        return orSilent(HardwarePorts::open(), "speaker ports");
    if (!name.isEmpty() && name != "auto")
        qCInfo(lcSpeaker) << "unknown speaker choice" << name << "- taking auto";
    if (auto kernel = PcSpkrPorts::open())
        return kernel;
    return emulatedOrSilent();
}

std::unique_ptr<PortIo> createSpeakerPortsFromEnvironment()
{
    return createSpeakerPorts(qgetenv("TACKPAD_SPEAKER"));
}
