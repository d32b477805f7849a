// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/wallclockalarm.h"

#include <QElapsedTimer>

class ProcessSignal;
class QSocketNotifier;
class QTimer;

/// The wall-clock alarm of Linux: a timerfd on CLOCK_REALTIME set to an absolute instant, which
/// the kernel cancels at every clock change and every resume. Also reports a continue after a
/// stop (SIGCONT) and a change of the system's time zone (/etc/localtime). Without timerfd, a
/// precise timer that looks at the wall clock at least once a minute.
class SystemWallClockAlarm final : public WallClockAlarm {
    Q_OBJECT
public:
    /// With useTimerfd false, the fallback stands in as where timerfd is missing.
    explicit SystemWallClockAlarm(bool useTimerfd = true, QObject* parent = nullptr);
    ~SystemWallClockAlarm() override;
    SystemWallClockAlarm(const SystemWallClockAlarm&) = delete;
    SystemWallClockAlarm& operator=(const SystemWallClockAlarm&) = delete;

    void wakeAt(qint64 msecsSinceEpoch) override;

private:
    void onTimerFd();
    void armFallback();
    void onFallback();
    void watchZone();
    void onZoneEvent();
    void watchContinue();

    int m_timerFd = -1;
    QSocketNotifier* m_timerNotifier = nullptr;
    int m_zoneFd = -1;
    QSocketNotifier* m_zoneNotifier = nullptr;
    ProcessSignal* m_continued = nullptr;
    // Fallback
    QTimer* m_fallback = nullptr;
    qint64 m_deadline = 0;
    qint64 m_wallAtArm = 0;
    QElapsedTimer m_sinceArm;
};
