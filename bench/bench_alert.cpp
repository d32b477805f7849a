// SPDX-License-Identifier: GPL-3.0-or-later
// CPU cost of a note's alert (the warble of eight tones its first show plays). A real NoteWindow
// plays it on the speaker ports the program would use; the process CPU time of all threads is
// taken across the call (about 80 ms) and across the call plus the second after it, in which the
// emulated speaker plays out its delay and closes its audio stream.
//
//   bench_alert [--speaker audio|none] [--alerts N]
// Run it with QT_QPA_PLATFORM=offscreen; "audio" needs a PulseAudio server (PULSE_SERVER).
#include "base/settingsstore.h"
#include "notes/alert.h"
#include "notes/notewindow.h"
#include "platform/speaker/speakerfactory.h"

#include <QApplication>
#include <QEventLoop>
#include <QMap>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// The alert a note made for itself.
SpeakerAlert& alertOf(NoteWindow& note) { return *note.findChild<SpeakerAlert*>(); }

qint64 clockNs(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class MemoryStore final : public SettingsStore {
public:
    QString ReadSetting(const QString& section, const QString& key) override
    {
        return m_entries.value(section + u'/' + key);
    }
    bool WriteSetting(const QString& section, const QString& key, const QString& value) override
    {
        m_entries.insert(section + u'/' + key, value);
        return true;
    }
    bool RemoveSetting(const QString& section, const QString& key) override
    {
        m_entries.remove(section + u'/' + key);
        return true;
    }

private:
    QMap<QString, QString> m_entries;
};

void sleepInEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QByteArray speaker = "audio";
    int alerts = 10;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--speaker"))
            speaker = arguments[i + 1].toLatin1();
        else if (arguments[i] == QLatin1String("--alerts"))
            alerts = arguments[i + 1].toInt();
    }
    const auto ports = createSpeakerPorts(speaker);
    MemoryStore store;
    NoteWindow note(NoteColour::Red, store, *ports);
    note.show();
    sleepInEventLoop(200);

    std::vector<double> callCpu, callWall, tailCpu;
    double firstCallCpu = 0;
    for (int i = 0; i < alerts; ++i) {
        const qint64 cpu0 = clockNs(CLOCK_PROCESS_CPUTIME_ID);
        const qint64 wall0 = clockNs(CLOCK_MONOTONIC);
        alertOf(note).PlayAlert();
        const qint64 cpu1 = clockNs(CLOCK_PROCESS_CPUTIME_ID);
        const qint64 wall1 = clockNs(CLOCK_MONOTONIC);
        sleepInEventLoop(1000);
        const qint64 cpu2 = clockNs(CLOCK_PROCESS_CPUTIME_ID);
        if (i == 0)
            firstCallCpu = double(cpu1 - cpu0) / 1e6;
        callCpu.push_back(double(cpu1 - cpu0) / 1e6);
        callWall.push_back(double(wall1 - wall0) / 1e6);
        tailCpu.push_back(double(cpu2 - cpu0) / 1e6);
    }
    const char* s = speaker.constData();
    std::printf("# speaker %s, %d alerts: call wall median %.1f ms, CPU in the call median %.2f ms "
                "(first %.2f ms), CPU call + 1 s after median %.2f ms\n",
        s, alerts, median(callWall), median(callCpu), firstCallCpu, median(tailCpu));
    std::printf("alert.%s.wall_ms %.3f\n", s, median(callWall));
    std::printf("alert.%s.cpu_call_ms %.3f\n", s, median(callCpu));
    std::printf("alert.%s.cpu_first_call_ms %.3f\n", s, firstCallCpu);
    std::printf("alert.%s.cpu_with_tail_ms %.3f\n", s, median(tailCpu));
    return 0;
}
