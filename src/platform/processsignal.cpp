// SPDX-License-Identifier: GPL-3.0-or-later
#include "processsignal.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 2> kSignals = { SIGTERM, SIGCONT }; // by ProcessSignal::Kind

// A handler may only write to a socket; the notifier turns the byte into a Qt signal.
std::array<std::array<int, 2>, 2> s_fds = { { { -1, -1 }, { -1, -1 } } };

void onSignal(int signalNumber)
{
    const int saved = errno;
    const char byte = 1;
    for (size_t k = 0; k < kSignals.size(); ++k) {
        if (kSignals[k] == signalNumber) {
            [[maybe_unused]] const ssize_t n = ::write(s_fds[k][0], &byte, 1);
        }
    }
    errno = saved;
}

} // namespace

ProcessSignal::ProcessSignal(Kind kind, QObject* parent)
    : QObject(parent)
    , m_kind(kind)
{
    std::array<int, 2>& fds = s_fds[size_t(kind)];
    if (fds[0] >= 0
        || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds.data()) != 0)
        return; // the default action stays: better than a handler that cannot report
    m_notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this, &fds] {
        char bytes[16];
        while (::read(fds[1], bytes, sizeof bytes) > 0) { }
        emit received();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(kSignals[size_t(kind)], &action, nullptr);
}

ProcessSignal::~ProcessSignal()
{
    if (!m_notifier)
        return;
    std::array<int, 2>& fds = s_fds[size_t(m_kind)];
    ::signal(kSignals[size_t(m_kind)], SIG_DFL);
    delete m_notifier;
    ::close(fds[0]);
    ::close(fds[1]);
    fds = { -1, -1 };
}
