// SPDX-License-Identifier: GPL-3.0-or-later
// Typing into a note while the program is killed at random instants, and two running copies
// typing into different notes of one store. The test binary runs itself with "--typist" as the
// program: the real composition on the real store, a note shown, keystrokes sent to its text box.
#include "relsupport.h"

#include "platform/settingsfile/iniformat.h"
#include "platform/settingsfile/inisettingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>

namespace {

// Reports "start <n>" with the keystrokes restored, then the count after each keystroke whose
// write has returned, then "done"; "failed: ..." when a write failed.
int runTypist(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    const QString iniPath = QString::fromLocal8Bit(argv[2]);
    const NoteColour colour
        = QByteArrayView(argv[3]) == "Green" ? NoteColour::Green : NoteColour::Red;
    const int count = std::atoi(argv[4]);
    RealStoreApp a(iniPath);
    a.app->Form_Load();
    QTextEdit* txt = a.note(colour);
    qsizetype n = keystrokesOf(txt->toPlainText());
    if (n < 0) {
        reportLine("failed: restored text is no typed text");
        return 3;
    }
    reportLine("start " + QByteArray::number(n));
    for (int i = 0; i < count; ++i) {
        typeKey(txt, keystroke(n));
        if (!a.store.errorString().isEmpty())
            reportLine("failed: " + a.store.errorString().toUtf8());
        ++n;
        reportLine(QByteArray::number(n));
    }
    if (txt->toPlainText() != typedText(n)) {
        reportLine("failed: the text box does not hold what was typed");
        return 3;
    }
    reportLine("done");
    return 0;
}

struct Typist {
    QProcess process;
    QByteArray output;
    qsizetype started = -1; // keystrokes restored at start
    qsizetype confirmed = -1; // keystrokes whose write returned
    bool done = false;
    bool endedBeforeKill = false;
    QByteArray failure;

    void start(const QString& iniPath, const char* colour, int count)
    {
        process.setProgram(QCoreApplication::applicationFilePath());
        process.setArguments(
            { QStringLiteral("--typist"), iniPath, QLatin1String(colour), QString::number(count) });
        // The platform plugin's chatter is no result; failures are reported on stdout.
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start();
    }
    void take()
    {
        output += process.readAllStandardOutput();
        const QList<QByteArray> lines = output.split('\n');
        // The last piece is an unfinished line (or empty).
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QByteArray& line = lines[i];
            if (line.startsWith("start "))
                started = confirmed = line.mid(6).toLongLong();
            else if (line == "done")
                done = true;
            else if (line.startsWith("failed"))
                failure = line;
            else
                confirmed = line.toLongLong();
        }
        output = lines.last();
    }
    int reports() const { return confirmed < 0 ? 0 : int(confirmed - started) + 1; }
    void kill()
    {
        if (process.state() != QProcess::NotRunning)
            ::kill(pid_t(process.processId()), SIGKILL);
        else
            endedBeforeKill = true;
        process.waitForFinished(5000);
        take();
    }
};

struct FileCheck {
    bool ok = false;
    QString why;
    QMap<QString, QString> notes; // colour -> text
};

// The settings file as any reader sees it after a kill: whole, readable by the store and by
// QSettings alike, and with at most one temporary file of each killed writer beside it.
FileCheck checkFile(const QString& iniPath, int writers = 1)
{
    FileCheck r;
    const QByteArray bytes = readAll(iniPath);
    const IniFormat::Document doc = IniFormat::parse(bytes);
    if (!bytes.isEmpty() && IniFormat::serialize(doc) != bytes) {
        r.why = QStringLiteral("the file is not one the store wrote: ") + QString::fromUtf8(bytes);
        return r;
    }
    for (const QString& section : doc.sections()) {
        if (section != QLatin1String("Note")) {
            r.why = QStringLiteral("unexpected section ") + section;
            return r;
        }
    }
    IniSettingsStore fresh(iniPath);
    QSettings settings(iniPath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        r.why = QStringLiteral("QSettings cannot read the file");
        return r;
    }
    for (const QString& key : doc.keys(u"Note")) {
        const QString text = fresh.ReadSetting(QStringLiteral("Note"), key);
        if (text != *doc.find(u"Note", key)
            || settings.value(QStringLiteral("Note/") + key).toString() != text) {
            r.why = QStringLiteral("readers disagree on Note/") + key;
            return r;
        }
        r.notes.insert(key, text);
    }
    const QStringList temporaries = QFileInfo(iniPath).dir().entryList(
        { QFileInfo(iniPath).fileName() + QStringLiteral(".tmp-*") }, QDir::Files | QDir::Hidden);
    if (temporaries.size() > writers) {
        r.why = QStringLiteral("temporary files pile up: ") + temporaries.join(u' ');
        return r;
    }
    r.ok = true;
    return r;
}

// The stored text of a note must be what the last returned write saved, or one keystroke more
// (the write of which was done when the kill came, but not yet reported).
QString lostText(const FileCheck& file, const QString& colour, const Typist& t, qsizetype before)
{
    const QString text = file.notes.value(colour);
    const qsizetype stored = keystrokesOf(text);
    const qsizetype confirmed = t.confirmed >= 0 ? t.confirmed : before;
    if (stored < 0)
        return QStringLiteral("%1: stored text is no typed text: %2").arg(colour, text);
    if (stored < confirmed || stored > confirmed + 1)
        return QStringLiteral("%1: %2 keystrokes stored, %3 confirmed")
            .arg(colour)
            .arg(stored)
            .arg(confirmed);
    return {};
}

} // namespace

class TstRelKill : public QObject {
    Q_OBJECT
private slots:
    void killedWhileTypingLosesAtMostTheLastKeystroke();
    void twoCopiesTypingIntoDifferentNotesLoseNothing();
    void twoCopiesKilledTogetherLoseNothing();
};

void TstRelKill::killedWhileTypingLosesAtMostTheLastKeystroke()
{
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/kill-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("Tackpad/Tackpad.ini"));
    QRandomGenerator random(20261208);
    const int kills = 220;
    int duringTyping = 0, beforeTyping = 0, aheadByOne = 0, finished = 0;
    qint64 keystrokes = 0;
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < kills; ++k) {
        // Bounded growth: start from an empty store now and then (no copy is running).
        const FileCheck before = checkFile(ini);
        QVERIFY2(before.ok, qPrintable(before.why));
        qsizetype stored = keystrokesOf(before.notes.value(QStringLiteral("Red")));
        if (stored > 150) {
            QVERIFY(QFile::remove(ini));
            stored = 0;
        }

        Typist t;
        t.start(ini, "Red", 100000);
        QVERIFY(t.process.waitForStarted(5000));
        QElapsedTimer since;
        since.start();
        if (k % 2 == 0) {
            // At a random instant from start-up on: loading, showing, typing.
            const int at = int(random.bounded(250));
            while (since.elapsed() < at && t.process.state() == QProcess::Running)
                t.process.waitForReadyRead(int(qMax<qint64>(1, at - since.elapsed())));
        } else {
            // Right after a random number of keystrokes were reported: mid-write of the next.
            const int after = 1 + int(random.bounded(40));
            while (t.reports() < after + 1 && t.process.state() == QProcess::Running
                && since.elapsed() < 10000) {
                t.process.waitForReadyRead(10);
                t.take();
            }
            // A few microseconds more or less each time.
            for (int spin = int(random.bounded(20000)); spin > 0; --spin)
                asm volatile("" ::: "memory");
        }
        t.kill();
        QVERIFY2(t.failure.isEmpty(), t.failure.constData());
        QVERIFY2(!t.endedBeforeKill, "the typing program ended by itself");

        const FileCheck after = checkFile(ini);
        QVERIFY2(after.ok, qPrintable(after.why));
        const QString lost = lostText(after, QStringLiteral("Red"), t, stored);
        QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("kill %1: %2").arg(k).arg(lost)));
        const qsizetype now = keystrokesOf(after.notes.value(QStringLiteral("Red")));
        if (t.confirmed < 0)
            ++beforeTyping;
        else
            ++duringTyping;
        if (t.confirmed >= 0 && now == t.confirmed + 1)
            ++aheadByOne;
        finished += t.done;
        keystrokes += t.confirmed >= 0 ? t.confirmed - t.started : 0;
    }
    qInfo("%d kills survived in %lld ms: %d before typing began, %d while typing (%d with the "
          "in-flight keystroke already stored), %lld keystrokes confirmed, 0 texts lost",
        kills, clock.elapsed(), beforeTyping, duringTyping, aheadByOne, keystrokes);
    // Both kinds of instant must have been hit, or the test proved little.
    QVERIFY(beforeTyping > 10);
    QVERIFY(duringTyping > 100);
    QCOMPARE(finished, 0);
    QCOMPARE(keystrokes > 1000, true);
}

void TstRelKill::twoCopiesTypingIntoDifferentNotesLoseNothing()
{
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/two-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("Tackpad/Tackpad.ini"));
    qsizetype red = 0, green = 0;
    for (int round = 0; round < 3; ++round) {
        Typist a, b;
        a.start(ini, "Red", 60);
        b.start(ini, "Green", 60);
        QVERIFY(a.process.waitForFinished(30000));
        QVERIFY(b.process.waitForFinished(30000));
        QCOMPARE(a.process.exitCode(), 0);
        QCOMPARE(b.process.exitCode(), 0);
        a.take();
        b.take();
        QVERIFY2(a.failure.isEmpty() && b.failure.isEmpty(), (a.failure + b.failure).constData());
        QVERIFY(a.done && b.done);
        // Each copy restored what the other left of its own note, and added its keystrokes.
        QCOMPARE(a.started, red);
        QCOMPARE(b.started, green);
        red += 60;
        green += 60;
        const FileCheck file = checkFile(ini);
        QVERIFY2(file.ok, qPrintable(file.why));
        QCOMPARE(file.notes.value(QStringLiteral("Red")), typedText(red));
        QCOMPARE(file.notes.value(QStringLiteral("Green")), typedText(green));
    }
}

void TstRelKill::twoCopiesKilledTogetherLoseNothing()
{
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/twokill-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("Tackpad/Tackpad.ini"));
    QRandomGenerator random(8122026);
    for (int round = 0; round < 20; ++round) {
        const FileCheck before = checkFile(ini, 2);
        QVERIFY2(before.ok, qPrintable(before.why));
        Typist a, b;
        a.start(ini, "Red", 100000);
        b.start(ini, "Green", 100000);
        QVERIFY(a.process.waitForStarted(5000) && b.process.waitForStarted(5000));
        const int after = 1 + int(random.bounded(25));
        QElapsedTimer since;
        since.start();
        while ((a.reports() < after || b.reports() < after) && since.elapsed() < 10000) {
            a.process.waitForReadyRead(2);
            b.process.waitForReadyRead(2);
            a.take();
            b.take();
        }
        a.kill();
        b.kill();
        QVERIFY2(a.failure.isEmpty() && b.failure.isEmpty(), (a.failure + b.failure).constData());
        QVERIFY2(!a.endedBeforeKill && !b.endedBeforeKill, "a typing program ended by itself");
        const FileCheck file = checkFile(ini, 2);
        QVERIFY2(file.ok, qPrintable(file.why));
        for (const auto& [colour, t] :
            { std::pair<QString, Typist*> { QStringLiteral("Red"), &a }, { "Green", &b } }) {
            const QString lost
                = lostText(file, colour, *t, keystrokesOf(before.notes.value(colour)));
            QVERIFY2(lost.isEmpty(), qPrintable(lost));
        }
    }
}

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "--typist") == 0)
        return runTypist(argc, argv);
    prepareHome();
    QApplication app(argc, argv);
    TstRelKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rel_kill.moc"
