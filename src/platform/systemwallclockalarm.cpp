// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemwallclockalarm.h"

#include "platform/processsignal.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>
#if __has_include(<sys/timerfd.h>)
#include <sys/timerfd.h>
#define TACKPAD_HAVE_TIMERFD 1
#endif

namespace {

// The fallback timer looks at the wall clock at least this often, so a clock change or a resume
// is noticed within a minute.
constexpr qint64 kFallbackCapMs = 60000;
// A wall clock that moved this much more or less than the monotonic one was changed.
constexpr qint64 kStepMs = 1000;

} // namespace

SystemWallClockAlarm::SystemWallClockAlarm(bool useTimerfd, QObject* parent)
    : WallClockAlarm(parent)
{
#ifdef TACKPAD_HAVE_TIMERFD
    if (useTimerfd)
        m_timerFd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd >= 0) {
        m_timerNotifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
        connect(
            m_timerNotifier, &QSocketNotifier::activated, this, &SystemWallClockAlarm::onTimerFd);
    }
#else
    Q_UNUSED(useTimerfd)
#endif
    watchZone();
    watchContinue();
}

SystemWallClockAlarm::~SystemWallClockAlarm()
{
    delete m_timerNotifier;
    delete m_zoneNotifier;
    if (m_timerFd >= 0)
        ::close(m_timerFd);
    if (m_zoneFd >= 0)
        ::close(m_zoneFd);
}

void SystemWallClockAlarm::wakeAt(qint64 msecsSinceEpoch)
{
    m_deadline = msecsSinceEpoch;
#ifdef TACKPAD_HAVE_TIMERFD
    if (m_timerFd >= 0) {
        itimerspec when {};
        when.it_value.tv_sec = time_t(msecsSinceEpoch / 1000);
        when.it_value.tv_nsec = long(msecsSinceEpoch % 1000) * 1000000;
        if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0)
            when.it_value.tv_nsec = 1; // zero would disarm it
        if (::timerfd_settime(
                m_timerFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr)
            == 0)
            return;
        // The clock changed since the last read: say so, and the caller sets its alarm anew.
        if (errno == ECANCELED) {
            QTimer::singleShot(0, this, &WallClockAlarm::clockChanged);
            return;
        }
    }
#endif
    armFallback();
}

void SystemWallClockAlarm::onTimerFd()
{
#ifdef TACKPAD_HAVE_TIMERFD
    // Read before anything sets the alarm again: setting it first would only report ECANCELED.
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_timerFd, &expirations, sizeof expirations);
    if (n < 0 && errno == ECANCELED) {
        emit clockChanged();
        return;
    }
    if (n == sizeof expirations && expirations > 0)
        emit woke();
#endif
}

void SystemWallClockAlarm::armFallback()
{
    if (!m_fallback) {
        // timerfd refused this instant: wake through a timer of its own instead.
        m_fallback = new QTimer(this);
        m_fallback->setSingleShot(true);
        m_fallback->setTimerType(Qt::PreciseTimer);
        connect(m_fallback, &QTimer::timeout, this, &SystemWallClockAlarm::onFallback);
    }
    m_wallAtArm = QDateTime::currentMSecsSinceEpoch();
    m_sinceArm.start();
    m_fallback->start(int(qBound<qint64>(0, m_deadline - m_wallAtArm, kFallbackCapMs)));
}

void SystemWallClockAlarm::onFallback()
{
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    const qint64 drift = wall - m_wallAtArm - m_sinceArm.elapsed();
    if (drift > kStepMs || drift < -kStepMs)
        emit clockChanged();
    else if (wall >= m_deadline)
        emit woke();
    else
        armFallback();
}

void SystemWallClockAlarm::watchZone()
{
    // The zone is the link /etc/localtime, replaced rather than written when it changes: watch
    // the folder for that one name, as GNOME's wall clock does.
    m_zoneFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_zoneFd < 0)
        return;
    if (::inotify_add_watch(m_zoneFd, "/etc",
            IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE | IN_ATTRIB | IN_DONT_FOLLOW)
        < 0) {
        ::close(m_zoneFd);
        m_zoneFd = -1;
        return;
    }
    m_zoneNotifier = new QSocketNotifier(m_zoneFd, QSocketNotifier::Read, this);
    connect(m_zoneNotifier, &QSocketNotifier::activated, this, &SystemWallClockAlarm::onZoneEvent);
}

void SystemWallClockAlarm::onZoneEvent()
{
    alignas(inotify_event) char buffer[4096];
    bool zone = false;
    ssize_t n;
    while ((n = ::read(m_zoneFd, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->len > 0 && std::strcmp(e->name, "localtime") == 0)
                zone = true;
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
    // The C library reads the zone afresh at its next tzset(), which Qt calls for local time.
    if (zone)
        emit clockChanged();
}

void SystemWallClockAlarm::watchContinue()
{
    // A process stopped and continued (job control, a frozen session) may have slept over any
    // instant; a clock faked for the process also changes only while nobody looks.
    m_continued = new ProcessSignal(ProcessSignal::Kind::Continue, this);
    connect(m_continued, &ProcessSignal::received, this, &WallClockAlarm::clockChanged);
}
