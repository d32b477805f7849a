// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/singleinstance.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <future>

#include <sys/stat.h>

namespace {

using Claim = SingleInstance::Claim;

// A later start runs its claim on a thread of its own, as it would in its own process, while
// this thread's event loop lets the first copy answer.
Claim claimBeside(SingleInstance& later, int timeoutMs = 3000)
{
    auto result = std::async(std::launch::async, [&] { return later.claim(timeoutMs); });
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return result.get();
}

// The files of that kind ("*.lock", "*.socket") that the copies made in a folder, as a person
// listing it sees them.
QStringList filesIn(const QString& folder, const char* kind)
{
    QStringList found;
    for (const QFileInfo& f :
        QDir(folder).entryInfoList({ QString::fromLatin1(kind) }, QDir::System | QDir::Files))
        found << f.absoluteFilePath();
    return found;
}

} // namespace

class TstSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void init();
    void secondStartHandsOver();
    void anotherStoreRunsBeside();
    void namesArePrivate_data();
    void namesArePrivate();
    void aCopyThatDoesNotAnswerIsNotWaitedFor();
    void onlyTheOneRequestCounts();
    void aFolderThatCannotHoldALockStillStarts();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString store(const char* name) const
    {
        return m_dir->filePath(QString::fromLatin1(name) + QStringLiteral("/Tackpad/Tackpad.ini"));
    }
};

void TstSingleInstance::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_RUNTIME_DIR", m_dir->filePath(QStringLiteral("run")).toLocal8Bit());
    QDir().mkpath(m_dir->filePath(QStringLiteral("run")));
    ::chmod(QFile::encodeName(m_dir->filePath(QStringLiteral("run"))).constData(), 0700);
}

void TstSingleInstance::secondStartHandsOver()
{
    auto first = std::make_unique<SingleInstance>(store("a"));
    QCOMPARE(first->claim(1000), Claim::First);
    QVERIFY(first->listen());
    QSignalSpy asked(first.get(), &SingleInstance::activationRequested);
    SingleInstance second(store("a"));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(claimBeside(second), Claim::HandedOver);
    QVERIFY(clock.elapsed() < 1000);
    QTRY_COMPARE(asked.size(), 1);
    // Once the first copy is gone (as after kill -9: its descriptor closes), the next start runs.
    first.reset();
    SingleInstance third(store("a"));
    QCOMPARE(third.claim(1000), Claim::First);
    QVERIFY(third.listen()); // over the channel the first one left behind
}

void TstSingleInstance::anotherStoreRunsBeside()
{
    SingleInstance a(store("a")), b(store("b"));
    QCOMPARE(a.claim(1000), Claim::First);
    QCOMPARE(b.claim(1000), Claim::First);
    QCOMPARE(filesIn(m_dir->filePath(QStringLiteral("run")), "*.lock").size(), 2);
}

void TstSingleInstance::namesArePrivate_data()
{
    QTest::addColumn<QByteArray>("runtime");
    QTest::addColumn<QString>("expectedFolder"); // relative to the temporary folder
    QTest::newRow("in the runtime folder") << QByteArray("run") << "run";
    QTest::newRow("no runtime folder: in the store's") << QByteArray() << "a/Tackpad";
    QTest::newRow("a shared runtime folder is not used") << QByteArray("shared") << "a/Tackpad";
}

void TstSingleInstance::namesArePrivate()
{
    QFETCH(QByteArray, runtime);
    QFETCH(QString, expectedFolder);
    const QString shared = m_dir->filePath(QStringLiteral("shared"));
    QDir().mkpath(shared);
    ::chmod(QFile::encodeName(shared).constData(), 01777);
    if (runtime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", m_dir->filePath(QString::fromLatin1(runtime)).toLocal8Bit());
    SingleInstance first(store("a"));
    QCOMPARE(first.claim(1000), Claim::First);
    QVERIFY(first.listen());
    const QString folder = m_dir->filePath(expectedFolder);
    QCOMPARE(filesIn(folder, "*.lock").size(), 1);
    const QStringList channel = filesIn(folder, "*.socket");
    QCOMPARE(channel.size(), 1);
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::WriteOther),
        QFile::Permissions());
    QCOMPARE(QFileInfo(channel.first()).permissions()
            & (QFile::WriteGroup | QFile::WriteOther | QFile::ReadOther),
        QFile::Permissions());
}

void TstSingleInstance::aCopyThatDoesNotAnswerIsNotWaitedFor()
{
    SingleInstance first(store("a"));
    QCOMPARE(first.claim(1000), Claim::First);
    QVERIFY(first.listen()); // and then never runs its event loop, as if it hung
    SingleInstance second(store("a"));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(second.claim(400), Claim::NoAnswer);
    QVERIFY(clock.elapsed() < 1500);
}

void TstSingleInstance::onlyTheOneRequestCounts()
{
    SingleInstance first(store("a"));
    QCOMPARE(first.claim(1000), Claim::First);
    QVERIFY(first.listen());
    QSignalSpy asked(&first, &SingleInstance::activationRequested);
    const QStringList channel = filesIn(m_dir->filePath(QStringLiteral("run")), "*.socket");
    QCOMPARE(channel.size(), 1);
    const QList<QByteArray> sent { "quit\n", "show please\n", QByteArray(4096, 'x'),
        "show\nshow\nshow\n" };
    for (const QByteArray& bytes : sent) {
        QLocalSocket s;
        s.connectToServer(channel.first());
        QVERIFY(s.waitForConnected(1000));
        s.write(bytes);
        s.flush();
        QTRY_COMPARE(s.state(), QLocalSocket::UnconnectedState);
    }
    QCOMPARE(asked.size(), 1);
    // A connection that says nothing is closed after a while.
    QLocalSocket silent;
    silent.connectToServer(channel.first());
    QVERIFY(silent.waitForConnected(1000));
    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 3000);
    QCOMPARE(asked.size(), 1);
}

void TstSingleInstance::aFolderThatCannotHoldALockStillStarts()
{
    qunsetenv("XDG_RUNTIME_DIR");
    SingleInstance nowhere(QStringLiteral("/dev/null/Tackpad/Tackpad.ini"));
    QCOMPARE(nowhere.claim(200), Claim::Unlockable);
}

QTEST_GUILESS_MAIN(TstSingleInstance)
#include "tst_singleinstance.moc"
