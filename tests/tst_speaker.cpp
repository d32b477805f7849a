// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speaker/emulatedspeaker.h"
#include "platform/speaker/hardwareports.h"
#include "platform/speaker/pcspkrports.h"
#include "platform/speaker/speakerfactory.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <linux/input.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr qint16 highDivisor = 254; // about 4698 Hz
constexpr qint16 lowDivisor = 456; // about 2617 Hz
constexpr int rate = SquareWaveRenderer::sampleRate;
constexpr qint64 msNs = 1'000'000;

double hzOf(int divisor) { return double(SpeakerPortModel::clockHz) / divisor; }

// Plays tones on any ports exactly as a note window does, with the time supplied by the caller.
struct Caller {
    PortIo& ports;

    void toneOn(int divisor)
    {
        ports.vbOut(0x43, 0xB6);
        ports.vbOut(0x42, qint16(divisor & 0xFF));
        ports.vbOut(0x42, qint16(divisor >> 8));
        ports.vbOut(0x61, qint16(ports.vbInp(0x61) | 3));
    }
    void toneOff() { ports.vbOut(0x61, qint16(ports.vbInp(0x61) & 0xFC)); }
};

// Ports that stamp each change with a simulated clock, as the emulated speaker does with the
// real one. Each port access takes a few microseconds.
class TimelinePorts final : public PortIo {
public:
    void vbOut(qint16 port, qint16 value) override
    {
        m_nowNs += 3000;
        if (m_model.write(quint16(port), quint8(value)))
            events.push_back({ m_nowNs, m_model.sounding(), m_model.divisor() });
    }
    qint16 vbInp(qint16 port) override
    {
        m_nowNs += 3000;
        return m_model.read(quint16(port));
    }
    void wait(qint64 ns) { m_nowNs += ns; }
    qint64 nowNs() const { return m_nowNs; }

    std::vector<SpeakerEvent> events;

private:
    SpeakerPortModel m_model;
    qint64 m_nowNs = 1'000 * msNs; // any origin; not zero, so that nothing relies on it
};

struct Tone {
    qint64 start = 0; // samples
    qint64 length = 0;
    double hz = 0;
};

// Splits rendered samples into tones the way a listener (or tone-analyze) would: by pitch, read
// from the lengths of the square wave's flat runs. Runs of zeros end a tone unless they are
// shorter than half a millisecond (the microseconds between two port writes); a single run of
// the other pitch (a half cycle cut short by a reload) does not start a tone of its own.
std::vector<Tone> findTones(const std::vector<qint16>& samples, double splitHz)
{
    struct Run {
        qint64 start, length;
        qint16 value;
    };
    std::vector<Run> runs;
    for (qint64 i = 0; i < qint64(samples.size()); ++i) {
        if (runs.empty() || runs.back().value != samples[i])
            runs.push_back({ i, 0, samples[i] });
        ++runs.back().length;
    }
    const auto isHigh = [&](const Run& r) { return rate / (2.0 * r.length) > splitHz; };
    const qint64 shortGap = rate / 2000;

    std::vector<Tone> tones;
    std::vector<qint64> risingEdges;
    bool inTone = false;
    bool high = false;
    const auto finish = [&] {
        if (!inTone)
            return;
        Tone& tone = tones.back();
        if (risingEdges.size() >= 2)
            tone.hz = double(risingEdges.size() - 1) * rate
                / double(risingEdges.back() - risingEdges.front());
        risingEdges.clear();
        inTone = false;
    };
    for (size_t i = 0; i < runs.size(); ++i) {
        const Run& run = runs[i];
        if (run.value == 0) {
            if (run.length >= shortGap)
                finish();
            else if (inTone)
                tones.back().length += run.length;
            continue;
        }
        const bool nextAgrees
            = i + 1 < runs.size() && runs[i + 1].value != 0 && isHigh(runs[i + 1]) == isHigh(run);
        if (inTone && isHigh(run) != high && nextAgrees)
            finish();
        if (!inTone) {
            tones.push_back({ run.start, 0, 0 });
            inTone = true;
            high = isHigh(run);
        }
        tones.back().length += run.length;
        // A rising edge is a positive run right after a negative one, both inside this tone.
        if (run.value > 0 && i > 0 && runs[i - 1].value < 0
            && runs[i - 1].start >= tones.back().start)
            risingEdges.push_back(run.start);
    }
    finish();
    return tones;
}

std::vector<qint16> renderAll(
    const std::vector<SpeakerEvent>& events, qint64 originNs, qint64 untilNs)
{
    SquareWaveRenderer renderer(originNs);
    for (const SpeakerEvent& e : events)
        renderer.add(e);
    std::vector<qint16> samples;
    renderer.renderUntil(untilNs, samples);
    return samples;
}

qint64 samplesFor(qint64 ns) { return ns * rate / 1'000'000'000; }

// Collects what the worker writes, as an audio server would play it.
class CollectingOutput final : public AudioOutput {
public:
    struct Record {
        std::mutex mutex;
        int opens = 0;
        int closes = 0;
        bool open = false;
        std::vector<qint16> samples;
    };

    CollectingOutput(std::shared_ptr<Record> record, std::chrono::milliseconds openDelay)
        : m_record(std::move(record))
        , m_openDelay(openDelay)
    {
    }

    bool open(Deadline, const std::atomic<bool>&) override
    {
        std::this_thread::sleep_for(m_openDelay); // like the first connection to a server
        std::lock_guard lock(m_record->mutex);
        ++m_record->opens;
        m_record->open = true;
        return true;
    }
    bool write(std::span<const qint16> samples) override
    {
        std::lock_guard lock(m_record->mutex);
        m_record->samples.insert(m_record->samples.end(), samples.begin(), samples.end());
        return true;
    }
    void close(Deadline, const std::atomic<bool>&) override
    {
        std::lock_guard lock(m_record->mutex);
        ++m_record->closes;
        m_record->open = false;
    }

private:
    std::shared_ptr<Record> m_record;
    std::chrono::milliseconds m_openDelay;
};

bool hasRawIoCapability()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return geteuid() == 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("CapEff:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ULL << 17); // CAP_SYS_RAWIO
    }
    return false;
}

struct EnvironmentOverride {
    EnvironmentOverride(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentOverride()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TstSpeaker : public QObject {
    Q_OBJECT
private slots:
    void portModel();
    void renderedAlert_data();
    void renderedAlert();
    void renderedNestedAlert();
    void emulatedSpeakerSessions();
    void kernelSpeakerEvents();
    void factoryFallsBackToSilence();
    void audioWithoutServerCostsNothing_data();
    void audioWithoutServerCostsNothing();
    void desktopRecording();
};

void TstSpeaker::portModel()
{
    SpeakerPortModel model;
    // Both bytes of a count through the flip-flop; nothing sounds until the gate bits are set.
    QVERIFY(!model.write(0x43, 0xB6));
    QVERIFY(!model.write(0x42, 0x34));
    QVERIFY(!model.write(0x42, 0x12));
    QCOMPARE(model.divisor(), 0x1234u);
    QVERIFY(!model.sounding());

    // Only bits 0 and 1 together sound it; the other bits read back as written.
    QVERIFY(!model.write(0x61, 0xFD));
    QCOMPARE(model.read(0x61), quint8(0xFD));
    QVERIFY(!model.sounding());
    QVERIFY(!model.write(0x61, 0xFE));
    QVERIFY(!model.sounding());
    QVERIFY(model.write(0x61, 0xA7));
    QVERIFY(model.sounding());
    QCOMPARE(model.read(0x61), quint8(0xA7));
    QVERIFY(model.write(0x61, 0xA4));
    QVERIFY(!model.sounding());
    QCOMPARE(model.read(0x61), quint8(0xA4));

    // A command byte resets the flip-flop, even after a lone low byte; 0 counts as 65536.
    model.write(0x61, 0x03);
    QVERIFY(model.write(0x43, 0xB6)); // the counter stops until its new count is complete
    QVERIFY(!model.sounding());
    QVERIFY(!model.write(0x42, 0x99));
    QVERIFY(!model.write(0x43, 0xB6));
    QVERIFY(!model.write(0x42, 0x00));
    QVERIFY(model.write(0x42, 0x00));
    QVERIFY(model.sounding());
    QCOMPARE(model.divisor(), 65536u);

    // Half a new count changes nothing; the whole one restarts the tone. The count reads back.
    QVERIFY(!model.write(0x42, 0xFE));
    QVERIFY(model.sounding());
    QCOMPARE(model.divisor(), 65536u);
    QVERIFY(model.write(0x42, 0x00));
    QCOMPARE(model.divisor(), 254u);
    QCOMPARE(model.read(0x42), quint8(0xFE));
    QCOMPARE(model.read(0x42), quint8(0x00));

    // Low byte only: one write is a whole count. Other channels leave the speaker alone.
    QVERIFY(model.write(0x43, 0x96));
    QVERIFY(model.write(0x42, 200));
    QCOMPARE(model.divisor(), 200u);
    QVERIFY(!model.write(0x43, 0x36));
    QVERIFY(!model.write(0x40, 0x12));
    QVERIFY(model.sounding());
    QCOMPARE(model.divisor(), 200u);

    // One-shot modes make no tone.
    QVERIFY(model.write(0x43, 0xB0));
    QVERIFY(!model.write(0x42, 0x10));
    QVERIFY(!model.write(0x42, 0x01));
    QVERIFY(!model.sounding());
}

void TstSpeaker::renderedAlert_data()
{
    QTest::addColumn<bool>("jitter");
    QTest::newRow("10 ms tones") << false;
    QTest::newRow("10 to 12 ms tones") << true;
}

void TstSpeaker::renderedAlert()
{
    QFETCH(bool, jitter);
    TimelinePorts ports;
    Caller caller { ports };
    QRandomGenerator random(7);
    struct Expected {
        qint64 onNs, offNs;
        int divisor;
    };
    std::vector<Expected> expected;
    const qint64 originNs = ports.nowNs() - 80 * msNs;
    for (int i = 0; i < 8; ++i) {
        const int divisor = i % 2 ? lowDivisor : highDivisor;
        caller.toneOn(divisor);
        const qint64 on = ports.nowNs();
        ports.wait(jitter ? random.bounded(10 * msNs, 12 * msNs) : 10 * msNs);
        caller.toneOff();
        expected.push_back({ on, ports.nowNs(), divisor });
    }
    const qint64 endNs = ports.nowNs() + 200 * msNs;
    const std::vector<qint16> samples = renderAll(ports.events, originNs, endNs);
    QVERIFY(qAbs(qint64(samples.size()) - samplesFor(endNs - originNs)) <= 1);

    const std::vector<Tone> tones = findTones(samples, 3500);
    QCOMPARE(tones.size(), size_t(8));
    for (size_t i = 0; i < tones.size(); ++i) {
        const Expected& e = expected[i];
        const Tone& tone = tones[i];
        QVERIFY2(qAbs(tone.hz / hzOf(e.divisor) - 1) < 0.01, qPrintable(QString::number(tone.hz)));
        QVERIFY2(qAbs(tone.start - samplesFor(e.onNs - originNs)) <= rate / 1000,
            qPrintable(QStringLiteral("tone %1 starts at sample %2").arg(i).arg(tone.start)));
        QVERIFY2(qAbs(tone.length - samplesFor(e.offNs - e.onNs)) <= rate / 1000,
            qPrintable(QStringLiteral("tone %1 lasts %2 samples").arg(i).arg(tone.length)));
    }
    const qint64 lastSound = tones.back().start + tones.back().length;
    QVERIFY(
        std::all_of(samples.begin() + lastSound, samples.end(), [](qint16 s) { return s == 0; }));
}

void TstSpeaker::renderedNestedAlert()
{
    // A second note's alert runs inside the first one's first tone: its event loop is nested
    // in the first's, so the first tone only ends once the second alert has.
    TimelinePorts ports;
    Caller caller { ports };
    const qint64 originNs = ports.nowNs();
    const auto alert = [&](int fromTone) {
        for (int i = fromTone; i < 8; ++i) {
            caller.toneOn(i % 2 ? lowDivisor : highDivisor);
            ports.wait(10 * msNs);
            caller.toneOff();
        }
    };
    caller.toneOn(highDivisor);
    ports.wait(3 * msNs);
    alert(0);
    caller.toneOff(); // its timer fired long ago
    alert(1);
    const qint64 endNs = ports.nowNs() + 100 * msNs;
    const std::vector<qint16> samples = renderAll(ports.events, originNs, endNs);

    // What sounds is the last count programmed, for as long as the gate bits stay set: the
    // second alert's last low tone runs on into the first alert's second one.
    const struct {
        int divisor;
        int ms;
    } sounded[] = { { highDivisor, 13 }, { lowDivisor, 10 }, { highDivisor, 10 },
        { lowDivisor, 10 }, { highDivisor, 10 }, { lowDivisor, 10 }, { highDivisor, 10 },
        { lowDivisor, 20 }, { highDivisor, 10 }, { lowDivisor, 10 }, { highDivisor, 10 },
        { lowDivisor, 10 }, { highDivisor, 10 }, { lowDivisor, 10 } };
    const std::vector<Tone> tones = findTones(samples, 3500);
    QCOMPARE(tones.size(), std::size(sounded));
    qint64 expectedStart = 0;
    for (size_t i = 0; i < tones.size(); ++i) {
        QVERIFY2(qAbs(tones[i].hz / hzOf(sounded[i].divisor) - 1) < 0.01,
            qPrintable(QString::number(tones[i].hz)));
        QVERIFY2(
            qAbs(tones[i].start - expectedStart) <= rate / 1000, qPrintable(QString::number(i)));
        QVERIFY2(qAbs(tones[i].length - sounded[i].ms * rate / 1000) <= rate / 1000,
            qPrintable(QString::number(i)));
        expectedStart += sounded[i].ms * rate / 1000;
    }
    QVERIFY(std::all_of(samples.begin() + expectedStart + rate / 1000, samples.end(),
        [](qint16 s) { return s == 0; }));
}

void TstSpeaker::emulatedSpeakerSessions()
{
    // The real speaker with its worker, writing to a collecting output that is slow to open.
    auto record = std::make_shared<CollectingOutput::Record>();
    EmulatedSpeakerTiming timing;
    timing.leadIn = 80ms;
    timing.closeAfterSilence = 300ms;
    EmulatedSpeaker speaker(std::make_unique<CollectingOutput>(record, 150ms), timing);
    Caller caller { speaker };
    const auto closedTimes = [&](int closes) {
        std::lock_guard lock(record->mutex);
        return !record->open && record->closes == closes;
    };

    for (int alert = 1; alert <= 2; ++alert) {
        std::vector<
            std::pair<std::chrono::steady_clock::time_point, std::chrono::steady_clock::time_point>>
            played;
        for (int i = 0; i < 8; ++i) {
            caller.toneOn(i % 2 ? lowDivisor : highDivisor);
            const auto on = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(10ms);
            const auto off = std::chrono::steady_clock::now();
            caller.toneOff();
            played.emplace_back(on, off);
        }
        const auto silentSince = std::chrono::steady_clock::now();
        QTRY_VERIFY_WITH_TIMEOUT(closedTimes(alert), 5000);
        // No stream stays open long after the alert.
        QVERIFY(std::chrono::steady_clock::now() - silentSince < 2s);

        std::lock_guard lock(record->mutex);
        QCOMPARE(record->opens, alert);
        const std::vector<Tone> tones = findTones(record->samples, 3500);
        QCOMPARE(tones.size(), size_t(8));
        // Sample 0 of the session stands for the lead-in before the first tone: the first tone
        // is whole though the stream took 150 ms to open.
        const auto first = played.front().first;
        for (size_t i = 0; i < 8; ++i) {
            const auto start = std::chrono::duration_cast<std::chrono::nanoseconds>(
                played[i].first - first + timing.leadIn);
            const auto length = std::chrono::duration_cast<std::chrono::nanoseconds>(
                played[i].second - played[i].first);
            QVERIFY(qAbs(tones[i].hz / hzOf(i % 2 ? lowDivisor : highDivisor) - 1) < 0.01);
            const QString what = QStringLiteral("alert %1 tone %2 %3 %4").arg(alert).arg(i);
            QVERIFY2(qAbs(tones[i].start - samplesFor(start.count())) <= rate / 1000,
                qPrintable(what.arg(QStringLiteral("at")).arg(tones[i].start)));
            QVERIFY2(tones[i].length >= samplesFor(length.count()) - rate / 1000
                    && tones[i].length <= samplesFor(length.count()) + rate / 1000,
                qPrintable(what.arg(QStringLiteral("lasts")).arg(tones[i].length)));
        }
        // The silence after the last tone was played out before closing.
        const qint64 afterLast
            = qint64(record->samples.size()) - (tones.back().start + tones.back().length);
        QVERIFY(afterLast
            >= samplesFor(std::chrono::nanoseconds(timing.closeAfterSilence).count()) - rate / 100);
        record->samples.clear();
    }
}

void TstSpeaker::kernelSpeakerEvents()
{
    // What the kernel device is sent, caught in a plain file.
    QTemporaryFile file;
    QVERIFY(file.open());
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_WRONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    {
        PcSpkrPorts ports(fd);
        Caller caller { ports };
        caller.toneOn(highDivisor);
        caller.toneOff();
        caller.toneOn(lowDivisor);
        caller.toneOn(highDivisor); // reprogrammed while sounding
        ports.vbOut(0x61, 0x20); // the gate bits go, the tone stops
        QCOMPARE(ports.vbInp(0x61), qint16(0x20));
        caller.toneOn(lowDivisor); // left sounding: stopped when the ports go
    }
    const QByteArray sent = file.readAll();
    QCOMPARE(sent.size() % qsizetype(sizeof(input_event)), 0);
    QList<int> tones;
    for (qsizetype at = 0; at < sent.size(); at += sizeof(input_event)) {
        input_event event;
        memcpy(&event, sent.constData() + at, sizeof event);
        QCOMPARE(event.type, quint16(EV_SND));
        QCOMPARE(event.code, quint16(SND_TONE));
        tones << event.value;
    }
    const QList<int> expected { 4698, 0, 2617, 0, 4698, 0, 2617, 0 };
    QCOMPARE(tones, expected);
}

void TstSpeaker::factoryFallsBackToSilence()
{
    for (const char* choice : { "none", " NONE " }) {
        auto ports = createSpeakerPorts(choice);
        QVERIFY(dynamic_cast<SilentPorts*>(ports.get()));
        ports->vbOut(0x61, 0xA7);
        QCOMPARE(ports->vbInp(0x61), qint16(0xA7));
    }
    {
        EnvironmentOverride variable("TACKPAD_SPEAKER", "none");
        QVERIFY(dynamic_cast<SilentPorts*>(createSpeakerPortsFromEnvironment().get()));
    }

    if (!PcSpkrPorts::open())
        QVERIFY(dynamic_cast<SilentPorts*>(createSpeakerPorts("pcspkr").get()));
    else
        qInfo("a kernel PC speaker is writable here; its fallback is not tried");

    // Without access to the ports, "ports" must give silence. Where this process may use them,
    // ask from a child that has dropped to an unprivileged user.
    const auto portsAreSilent
        = [] { return dynamic_cast<SilentPorts*>(createSpeakerPorts("ports").get()) != nullptr; };
    if (!hasRawIoCapability()) {
        QVERIFY(portsAreSilent());
        return;
    }
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        _exit(portsAreSilent() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QVERIFY2(WEXITSTATUS(status) != 2, "could not drop privileges");
    QCOMPARE(WEXITSTATUS(status), 0);
}

void TstSpeaker::audioWithoutServerCostsNothing_data()
{
    QTest::addColumn<bool>("hangingServer");
    QTest::newRow("no socket") << false;
    QTest::newRow("server that never answers") << true;
}

void TstSpeaker::audioWithoutServerCostsNothing()
{
    QFETCH(bool, hangingServer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray socketPath = QFile::encodeName(dir.filePath(QStringLiteral("native")));
    int listener = -1;
    if (hangingServer) {
        // Accepts connections (the backlog does) and never says a word.
        listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path);
        QVERIFY(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        QVERIFY(listen(listener, 4) == 0);
    }
    EnvironmentOverride server("PULSE_SERVER", "unix:" + socketPath);

    auto ports = createSpeakerPorts("audio");
    QVERIFY(dynamic_cast<EmulatedSpeaker*>(ports.get()));
    Caller caller { *ports };
    std::chrono::steady_clock::duration inCalls {};
    for (int i = 0; i < 8; ++i) {
        const auto before = std::chrono::steady_clock::now();
        caller.toneOn(i % 2 ? lowDivisor : highDivisor);
        inCalls += std::chrono::steady_clock::now() - before;
        std::this_thread::sleep_for(10ms);
        const auto beforeOff = std::chrono::steady_clock::now();
        caller.toneOff();
        inCalls += std::chrono::steady_clock::now() - beforeOff;
    }
    QCOMPARE(ports->vbInp(0x61) & 3, 0);
    QVERIFY2(
        inCalls < 250ms, qPrintable(QString::number(inCalls.count() / 1e6) + " ms in port calls"));

    // Destroyed while the worker may still be waiting for the server.
    QElapsedTimer destruction;
    destruction.start();
    ports.reset();
    QVERIFY2(destruction.elapsed() < 1500, qPrintable(QString::number(destruction.elapsed())));
    if (listener >= 0)
        ::close(listener);
}

void TstSpeaker::desktopRecording()
{
    // Plays an alert on a real audio server and records its null sink's monitor.
    const QString monitor = qEnvironmentVariable("TACKPAD_SPEAKER_MONITOR");
    if (monitor.isEmpty())
        QSKIP("needs a PulseAudio null sink; tests/desktop/speaker-record.sh sets one up");
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
        { QStringLiteral("-d"), monitor, QStringLiteral("--rate=48000"),
            QStringLiteral("--channels=1"), QStringLiteral("--format=s16le"),
            QStringLiteral("--raw"), QStringLiteral("--latency-msec=5") });
    QVERIFY2(recorder.waitForStarted(), "parec (pulseaudio-utils) is needed");
    QByteArray recorded;
    // A new recording gets its first data only after a while: play once it flows.
    QTRY_VERIFY_WITH_TIMEOUT(
        (recorded += recorder.readAllStandardOutput(), !recorded.isEmpty()), 10000);

    auto ports = createSpeakerPorts("audio");
    QVERIFY(dynamic_cast<EmulatedSpeaker*>(ports.get()));
    Caller caller { *ports };
    QList<qint64> playedNs;
    for (int i = 0; i < 8; ++i) {
        QElapsedTimer played;
        played.start();
        caller.toneOn(i % 2 ? lowDivisor : highDivisor);
        QTest::qWait(10);
        caller.toneOff();
        playedNs << played.nsecsElapsed();
    }
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 1500) {
        QTest::qWait(20);
        recorded += recorder.readAllStandardOutput();
    }
    ports.reset();
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(5000));
    recorded += recorder.readAllStandardOutput();

    std::vector<qint16> samples(recorded.size() / 2);
    memcpy(samples.data(), recorded.constData(), samples.size() * 2);
    const std::vector<Tone> tones = findTones(samples, 3500);
    QString found;
    for (const Tone& tone : tones)
        found += QStringLiteral(" %1 Hz %2 ms;")
                     .arg(tone.hz, 0, 'f', 0)
                     .arg(tone.length * 1000.0 / rate, 0, 'f', 2);
    qInfo("recorded:%s", qPrintable(found));
    QCOMPARE(tones.size(), size_t(8));
    for (size_t i = 0; i < tones.size(); ++i) {
        QVERIFY(qAbs(tones[i].hz / hzOf(i % 2 ? lowDivisor : highDivisor) - 1) < 0.01);
        QVERIFY2(qAbs(tones[i].length - samplesFor(playedNs[i])) <= rate / 1000,
            qPrintable(QString::number(i)));
    }
}

QTEST_GUILESS_MAIN(TstSpeaker)
#include "tst_speaker.moc"
