// SPDX-License-Identifier: GPL-3.0-or-later
#include "pcspkrports.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool hasBit(const unsigned char* bits, int bit) { return bits[bit / 8] & (1 << (bit % 8)); }

// Opens the device for writing when it can play tones; -1 otherwise.
int openToneDevice(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    unsigned char types[EV_MAX / 8 + 1] = {};
    unsigned char sounds[SND_MAX / 8 + 1] = {};
    if (ioctl(fd, EVIOCGBIT(0, sizeof types), types) >= 0 && hasBit(types, EV_SND)
        && ioctl(fd, EVIOCGBIT(EV_SND, sizeof sounds), sounds) >= 0 && hasBit(sounds, SND_TONE))
        return fd;
    ::close(fd);
    return -1;
}

QStringList candidatePaths()
{
    QStringList paths;
    const QDir byPath(QStringLiteral("/dev/input/by-path"));
    for (const QString& name :
        byPath.entryList({ QStringLiteral("*-pcspkr*") }, QDir::System | QDir::Files))
        paths << byPath.filePath(name);
    // The name is read from sysfs, so that no other input device is opened.
    const QDir classDir(QStringLiteral("/sys/class/input"));
    for (const QString& name :
        classDir.entryList({ QStringLiteral("event*") }, QDir::Dirs | QDir::System)) {
        QFile nameFile(classDir.filePath(name + QStringLiteral("/device/name")));
        if (nameFile.open(QIODevice::ReadOnly) && nameFile.readAll().trimmed() == "PC Speaker")
            paths << QStringLiteral("/dev/input/") + name;
    }
    return paths;
}

} // namespace

std::unique_ptr<PcSpkrPorts> PcSpkrPorts::open()
{
    for (const QString& path : candidatePaths()) {
        const int fd = openToneDevice(path);
        if (fd >= 0) {
            qCDebug(lcSpeaker) << "kernel PC speaker at" << path;
            return std::make_unique<PcSpkrPorts>(fd);
        }
    }
    return nullptr;
}

PcSpkrPorts::PcSpkrPorts(int fd)
    : m_fd(fd)
{
}

PcSpkrPorts::~PcSpkrPorts()
{
    if (m_hz != 0)
        sendTone(0); // a tone left on would sound until the next one
    ::close(m_fd);
}

void PcSpkrPorts::vbOut(qint16 port, qint16 value)
{
    if (!m_model.write(quint16(port), quint8(value)))
        return;
    sendTone(
        m_model.sounding() ? qRound(double(SpeakerPortModel::clockHz) / m_model.divisor()) : 0);
}

qint16 PcSpkrPorts::vbInp(qint16 port) { return m_model.read(quint16(port)); }

void PcSpkrPorts::sendTone(int hz)
{
    input_event event {};
    event.type = EV_SND;
    event.code = SND_TONE;
    event.value = hz;
    // Event devices take writes at once; a failure only costs the sound.
    if (::write(m_fd, &event, sizeof event) != ssize_t(sizeof event)) {
        if (!m_writeFailed)
            qCInfo(lcSpeaker) << "PC speaker write failed:" << std::strerror(errno);
        m_writeFailed = true;
        return;
    }
    m_hz = hz;
}
