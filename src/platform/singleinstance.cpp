// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kRequest = "show\n";
const QByteArray kAnswer = "ok\n";
// What a request may be at most; anything longer or later on the connection is dropped.
constexpr qsizetype kMaxRequest = 64;
constexpr int kRequestWaitMs = 1000;

// A folder only this user can write to: the runtime folder the session gives us, if it is one.
bool privateFolder(const QByteArray& path)
{
    struct stat st = {};
    return !path.isEmpty() && path.startsWith('/') && ::stat(path.constData(), &st) == 0
        && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 022) == 0;
}

QString storeFolder(const QString& storePath)
{
    const QString folder = QFileInfo(storePath).absolutePath();
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

int connectTo(const QByteArray& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends the request and waits for the answer; false when none came before the deadline.
bool askRunningCopy(int fd, const QDeadlineTimer& deadline)
{
    if (::send(fd, kRequest.constData(), size_t(kRequest.size()), MSG_NOSIGNAL) != kRequest.size())
        return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        pollfd p { fd, POLLIN, 0 };
        const int ready = ::poll(&p, 1, int(qMax<qint64>(deadline.remainingTime(), 0)));
        if (ready <= 0)
            return false;
        char buffer[16];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        answer.append(buffer, n);
    }
    return answer.startsWith(kAnswer);
}

} // namespace

SingleInstance::SingleInstance(const QString& storePath, QObject* parent)
    : QObject(parent)
{
    const QString folder = storeFolder(storePath);
    // Named after the store, so that a copy on another store runs beside this one.
    const QString name = QStringLiteral("tackpad-")
        + QString::fromLatin1(
            QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QString base = privateFolder(runtime) ? QFile::decodeName(runtime) : folder;
    m_lockPath = base + u'/' + name + QStringLiteral(".lock");
    m_channelPath = base + u'/' + name + QStringLiteral(".socket");
}

SingleInstance::~SingleInstance()
{
    if (m_server) {
        delete m_server;
        m_server = nullptr;
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd); // the lock goes with the descriptor, as it does when the process dies
}

SingleInstance::Claim SingleInstance::claim(int timeoutMs)
{
    const QByteArray lock = QFile::encodeName(m_lockPath);
    const QByteArray folder = QFile::encodeName(QFileInfo(m_lockPath).absolutePath());
    // The store's folder may not exist before the very first start; it is made private, as the
    // store makes it.
    for (qsizetype i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/')
            ::mkdir(folder.first(i).constData(), 0700);
    }
    m_lockFd = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return Claim::Unlockable;

    const QDeadlineTimer deadline(timeoutMs);
    const QByteArray channel = QFile::encodeName(m_channelPath);
    for (;;) {
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
            return Claim::First;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(m_lockFd);
            m_lockFd = -1;
            return Claim::Unlockable;
        }
        // The holder may still be starting and not listen yet: try again until the deadline.
        if (const int fd = connectTo(channel); fd >= 0) {
            const bool answered = askRunningCopy(fd, deadline);
            ::close(fd);
            if (answered) {
                ::close(m_lockFd);
                m_lockFd = -1;
                return Claim::HandedOver;
            }
        }
        if (deadline.hasExpired()) {
            ::close(m_lockFd);
            m_lockFd = -1;
            return Claim::NoAnswer;
        }
        ::usleep(20 * 1000);
    }
}

bool SingleInstance::listen()
{
    if (m_lockFd < 0 || m_server)
        return false;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // This copy holds the lock: a channel left there belongs to a copy that was killed.
    QLocalServer::removeServer(m_channelPath);
    if (!m_server->listen(m_channelPath))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::serve);
    return true;
}

void SingleInstance::serve()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A connection that says nothing is not kept open.
        QTimer::singleShot(kRequestWaitMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->property("served").toBool()) {
                socket->readAll(); // beyond the one request: ignored
                return;
            }
            const QByteArray line = socket->peek(kMaxRequest);
            if (!line.contains('\n') && line.size() < kMaxRequest)
                return; // not complete yet
            socket->setProperty("served", true);
            socket->readAll();
            if (line.startsWith(kRequest)) {
                socket->write(kAnswer);
                socket->flush();
                emit activationRequested();
            }
            socket->disconnectFromServer();
        });
    }
}
