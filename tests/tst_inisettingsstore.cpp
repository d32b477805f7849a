// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingsfile/iniformat.h"
#include "platform/settingsfile/inisettingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

QString growthValue(qint64 n);
qint64 growthStep(const QString& value);
int runStoreChild(const QStringList& arguments);

namespace {

const QString note = QStringLiteral("Note");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Permission bits of the path itself (not of what a link points to); -1 when missing.
int modeOf(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool isSymLink(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool runningAsRoot() { return ::geteuid() == 0; }

QString storePath(const QTemporaryDir& dir) { return dir.filePath("Tackpad/Tackpad.ini"); }

QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({ QStringLiteral("*.tmp-*") }, QDir::Files | QDir::Hidden);
}

// Restores an environment variable when the test leaves, however it leaves.
class EnvGuard final {
public:
    explicit EnvGuard(const char* name)
        : m_name(name)
        , m_was(qEnvironmentVariableIsSet(name))
        , m_value(qgetenv(name))
    {
    }
    ~EnvGuard()
    {
        if (m_was)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* m_name;
    bool m_was;
    QByteArray m_value;
};

void setOrUnset(const char* name, const QByteArray& value)
{
    if (value == "<unset>")
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

class TstIniSettingsStore final : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void handEdited_data();
    void handEdited();
    void rewriteKeepsWhatItDoesNotUnderstand();
    void removal();
    void changesMadeByOtherInstances();
    void unreadableStore_data();
    void unreadableStore();
    void folderInPlaceOfFile();
    void unreadableFileIsNotReplaced();
    void failedWriteKeepsValueAndOldFile();
    void failedWriteOnUnusableFolder();
    void lockThatCannotBeTakenFailsTheWrite();
    void symlinkInPlaceOfFileIsReplaced();
    void privateModes();
    void defaultFilePath_data();
    void defaultFilePath();
    void defaultFilePathMatchesQSettings();
    void parseSerializeIsStable();
    void killedWriterLeavesWholeFile();
    void concurrentWritersLoseNothing();
};

// ---- Texts that must come back as they were written ----

void TstIniSettingsStore::roundTrip_data()
{
    QTest::addColumn<QString>("text");

    QString controls;
    for (char16_t c = 1; c < 0x20; ++c)
        controls += QChar(c);
    controls += QChar(0x7F);

    QString mixed;
    const QString pieces[] = { QStringLiteral("Meeting at 10:00, room \"B\"; bring notes\r\n"),
        QStringLiteral("Grüße — 日本語 😀\t= [x] # ; \\ @\n"), QString(QChar(0)) + "12" };
    while (mixed.size() < 1024 * 1024)
        mixed += pieces[mixed.size() % 3];

    QTest::newRow("plain") << QStringLiteral("Buy milk");
    QTest::newRow("empty") << QString();
    QTest::newRow("LF") << QStringLiteral("one\ntwo\n");
    QTest::newRow("CRLF") << QStringLiteral("one\r\ntwo\r\n");
    QTest::newRow("lone CR") << QStringLiteral("one\rtwo");
    QTest::newRow("tabs") << QStringLiteral("\tcol1\tcol2\t");
    QTest::newRow("NUL") << QString(QChar(0)) + "a" + QChar(0);
    QTest::newRow("NUL before digits") << QString(QChar(0)) + "123abc" + QChar(1) + "f0";
    QTest::newRow("all controls and DEL") << controls;
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße, Ünïcödé — 日本語のメモ");
    QTest::newRow("leading U+FEFF") << QString(QChar(0xFEFF)) + "a" + QChar(0xFEFF);
    QTest::newRow("outside the BMP") << QStringLiteral("😀 𝄞 𠜎");
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + "a" + QChar(0xDC00) + "b";
    QTest::newRow("INI syntax") << QStringLiteral("a=b; c # d, e");
    QTest::newRow("quotes and backslashes") << QStringLiteral("say \"hi\" C:\\dir\\ \\n \\x41");
    QTest::newRow("looks like a section") << QStringLiteral("[Note]");
    QTest::newRow("looks like an entry") << QStringLiteral("\nRed=1\n[Date]\n");
    QTest::newRow("leading and trailing blanks") << QStringLiteral("  padded  ");
    QTest::newRow("blanks only") << QStringLiteral("   ");
    QTest::newRow("leading @") << QStringLiteral("@home");
    QTest::newRow("doubled @") << QStringLiteral("@@twice");
    QTest::newRow("typed-value lookalikes") << QStringLiteral("@ByteArray(x)");
    QTest::newRow("date with comma") << QStringLiteral("July 05, 2004");
    QTest::newRow("1 MB ASCII") << QString(1024 * 1024, u'k');
    QTest::newRow("1 MB mixed") << mixed;
}

void TstIniSettingsStore::roundTrip()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = storePath(dir);
    {
        IniSettingsStore store(path);
        QVERIFY(store.WriteSetting("Note", "Before", "first"));
        QVERIFY2(store.WriteSetting("Note", "Red1", text), qPrintable(store.errorString()));
        QVERIFY(store.WriteSetting("Note", "After", "last"));
        QCOMPARE(store.ReadSetting("Note", "Red1"), text);
    }
    // A fresh reader sees it, and the neighbouring entries are intact.
    IniSettingsStore reader(path);
    QCOMPARE(reader.ReadSetting("Note", "Red1"), text);
    QCOMPARE(reader.ReadSetting("Note", "Before"), QStringLiteral("first"));
    QCOMPARE(reader.ReadSetting("Note", "After"), QStringLiteral("last"));

    // QSettings reads what we wrote as the same single text.
    {
        QSettings settings(path, QSettings::IniFormat);
        QCOMPARE(settings.status(), QSettings::NoError);
        const QVariant value = settings.value("Note/Red1");
        QCOMPARE(value.toString(), text);
        QCOMPARE(settings.value("Note/After").toString(), QStringLiteral("last"));
    }

    // And we read what QSettings wrote. It cannot write lone surrogates in UTF-8.
    if (QTest::currentDataTag() == QLatin1String("lone surrogates"))
        return;
    const QString qsettingsPath = dir.filePath("qsettings/Tackpad.ini");
    {
        QSettings settings(qsettingsPath, QSettings::IniFormat);
        settings.setValue("Note/Red1", text);
        settings.setValue("Note/After", "last");
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
    IniSettingsStore fromQSettings(qsettingsPath);
    QCOMPARE(fromQSettings.ReadSetting("Note", "Red1"), text);
    QCOMPARE(fromQSettings.ReadSetting("Note", "After"), QStringLiteral("last"));
}

// ---- Files written by hand ----

void TstIniSettingsStore::handEdited_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("comma is part of the text")
        << QByteArray("[Date]\nRed=July 05, 2004\n") << "Date"
        << "Red"
        << "July 05, 2004";
    QTest::newRow("on stays text") << QByteArray("[Always]\nRed=on\n") << "Always"
                                   << "Red"
                                   << "on";
    QTest::newRow("blanks around unquoted value trimmed")
        << QByteArray("[Note]\nRed = \t spaced out \t\n") << "Note"
        << "Red"
        << "spaced out";
    QTest::newRow("quoted keeps blanks") << QByteArray("[Note]\nRed=\"  kept  \"  \n") << "Note"
                                         << "Red"
                                         << "  kept  ";
    QTest::newRow("quoted comma") << QByteArray("[Note]\nRed=\"a, b\"\n") << "Note"
                                  << "Red"
                                  << "a, b";
    QTest::newRow("escapes") << QByteArray(
        "[Note]\nRed=tab\\there\\nnext \\\"q\\\" \\\\ \\x41\\101\n")
                             << "Note"
                             << "Red"
                             << "tab\there\nnext \"q\" \\ AA";
    QTest::newRow("escaped trailing blank kept") << QByteArray("[Note]\nRed=end\\t \n") << "Note"
                                                 << "Red"
                                                 << "end\t";
    QTest::newRow("semicolon inside a value is text")
        << QByteArray("[Note]\nRed=milk; eggs\n") << "Note"
        << "Red"
        << "milk; eggs";
    QTest::newRow("comment lines ignored")
        << QByteArray("; Red=no\n# Red=no\n[Note]\n  ; Red=no\n#Red=no\nRed=yes\n") << "Note"
        << "Red"
        << "yes";
    QTest::newRow("commented-out key is missing")
        << QByteArray("[Note]\n;Green=no\nRed=yes\n") << "Note"
        << "Green"
        << "";
    QTest::newRow("duplicate key: the last one wins")
        << QByteArray("[Note]\nRed=first\nRed=second\n") << "Note"
        << "Red"
        << "second";
    QTest::newRow("duplicate sections merge, last key wins")
        << QByteArray("[Note]\nRed=first\n[Other]\nx=1\n[Note]\nRed=second\n") << "Note"
        << "Red"
        << "second";
    QTest::newRow("duplicate sections merge, earlier keys stay")
        << QByteArray("[Note]\nGreen=g\n[Other]\nx=1\n[Note]\nRed=r\n") << "Note"
        << "Green"
        << "g";
    QTest::newRow("CRLF lines") << QByteArray("[Note]\r\nRed=crlf\r\nGreen=g\r\n") << "Note"
                                << "Red"
                                << "crlf";
    QTest::newRow("CR lines") << QByteArray("[Note]\rRed=cr\rGreen=g\r") << "Note"
                              << "Red"
                              << "cr";
    QTest::newRow("no final line break") << QByteArray("[Note]\nRed=eof") << "Note"
                                         << "Red"
                                         << "eof";
    QTest::newRow("continued line") << QByteArray("[Note]\nRed=one\\\n two\nGreen=g\n") << "Note"
                                    << "Red"
                                    << "one two";
    QTest::newRow("blanks in header") << QByteArray("[ Note ]\nRed=r\n") << "Note"
                                      << "Red"
                                      << "r";
    QTest::newRow("UTF-8 as is") << QByteArray("[Note]\nRed=Grüße 😀\n") << "Note"
                                 << "Red"
                                 << "Grüße 😀";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Note]\nRed=r\n") << "Note"
                                     << "Red"
                                     << "r";
    QTest::newRow("doubled @") << QByteArray("[Note]\nRed=@@at\n") << "Note"
                               << "Red"
                               << "@at";
    QTest::newRow("single @ kept") << QByteArray("[Note]\nRed=@at\n") << "Note"
                                   << "Red"
                                   << "@at";
    QTest::newRow("keys before any section are in General")
        << QByteArray("Red=top\n[Note]\nRed=n\n") << ""
        << "Red"
        << "top";
    QTest::newRow("General section") << QByteArray("[General]\nRed=g\n") << ""
                                     << "Red"
                                     << "g";
    QTest::newRow("section named General") << QByteArray("[%General]\nRed=g\n") << "General"
                                           << "Red"
                                           << "g";
    QTest::newRow("escaped key") << QByteArray("[Note]\nRed%20One=x\n") << "Note"
                                 << "Red One"
                                 << "x";
    QTest::newRow("keys are case-sensitive") << QByteArray("[Note]\nred=lower\n") << "Note"
                                             << "Red"
                                             << "";
    QTest::newRow("missing section") << QByteArray("[Note]\nRed=r\n") << "Date"
                                     << "Red"
                                     << "";
}

void TstIniSettingsStore::handEdited()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    writeFile(storePath(dir), file);
    IniSettingsStore store(storePath(dir));
    QCOMPARE(store.ReadSetting(section, key), expected);

    // Rewriting the file for another entry reads the same afterwards.
    QVERIFY(store.WriteSetting("Timer", "Blue", "added"));
    IniSettingsStore reread(storePath(dir));
    QCOMPARE(reread.ReadSetting(section, key), expected);
    QCOMPARE(reread.ReadSetting("Timer", "Blue"), QStringLiteral("added"));
}

void TstIniSettingsStore::rewriteKeepsWhatItDoesNotUnderstand()
{
    QTemporaryDir dir;
    const QByteArray original = "; written by hand\n"
                                "[Future]\n"
                                "Shape = round, soft\n"
                                "a line without equals sign\n"
                                "\n"
                                "[Note]\n"
                                "Red = July 05, 2004\n"
                                "# keep me\n"
                                "Green=1\n";
    writeFile(storePath(dir), original);
    IniSettingsStore store(storePath(dir));
    QVERIFY(store.WriteSetting("Note", "Green", "2"));
    QVERIFY(store.WriteSetting("Hour", "Red1", "13"));

    const QByteArray now = readFile(storePath(dir));
    // Untouched lines stay byte for byte, the changed one is written anew.
    QVERIFY(now.startsWith("; written by hand\n[Future]\nShape = round, soft\n"
                           "a line without equals sign\n\n[Note]\nRed = July 05, 2004\n"
                           "# keep me\nGreen=2\n"));
    QVERIFY(now.contains("\n[Hour]\nRed1=13\n"));
    QCOMPARE(now.count("[Note]"), 1);
    IniSettingsStore reread(storePath(dir));
    QCOMPARE(reread.ReadSetting("Future", "Shape"), QStringLiteral("round, soft"));
    QCOMPARE(reread.ReadSetting("Note", "Red"), QStringLiteral("July 05, 2004"));
    QCOMPARE(reread.ReadSetting("Note", "Green"), QStringLiteral("2"));
    QCOMPARE(reread.ReadSetting("Hour", "Red1"), QStringLiteral("13"));
}

void TstIniSettingsStore::removal()
{
    QTemporaryDir dir;
    IniSettingsStore store(storePath(dir));
    // Removing from a store that does not exist yet succeeds and creates nothing.
    QVERIFY(store.RemoveSetting("Note", "Red"));
    QVERIFY(!QFile::exists(storePath(dir)));

    QVERIFY(store.WriteSetting("Note", "Red", "r"));
    QVERIFY(store.WriteSetting("Note", "Green", "g"));
    QVERIFY(store.WriteSetting("Date", "Red", "d"));
    const QByteArray before = readFile(storePath(dir));
    QVERIFY(store.RemoveSetting("Note", "Missing"));
    QVERIFY(store.RemoveSetting("Other", "Red"));
    QCOMPARE(readFile(storePath(dir)), before);

    QVERIFY(store.RemoveSetting("Note", "Red"));
    QCOMPARE(store.ReadSetting("Note", "Red"), QString());
    QCOMPARE(IniSettingsStore(storePath(dir)).ReadSetting("Note", "Red"), QString());
    QCOMPARE(IniSettingsStore(storePath(dir)).ReadSetting("Note", "Green"), QStringLiteral("g"));

    // A section left without entries goes away with its last one.
    QVERIFY(store.RemoveSetting("Date", "Red"));
    QVERIFY(!readFile(storePath(dir)).contains("[Date]"));
    QCOMPARE(QSettings(storePath(dir), QSettings::IniFormat).childGroups(), QStringList { note });
}

void TstIniSettingsStore::changesMadeByOtherInstances()
{
    QTemporaryDir dir;
    IniSettingsStore first(storePath(dir));
    IniSettingsStore second(storePath(dir));
    QVERIFY(first.WriteSetting("Note", "Red", "from first"));
    QCOMPARE(second.ReadSetting("Note", "Red"), QStringLiteral("from first"));
    QVERIFY(second.WriteSetting("Note", "Green", "from second"));
    // The first one has not read since; its write must not drop the second one's entry.
    QVERIFY(first.WriteSetting("Note", "Blue", "from first again"));
    IniSettingsStore reader(storePath(dir));
    QCOMPARE(reader.ReadSetting("Note", "Red"), QStringLiteral("from first"));
    QCOMPARE(reader.ReadSetting("Note", "Green"), QStringLiteral("from second"));
    QCOMPARE(reader.ReadSetting("Note", "Blue"), QStringLiteral("from first again"));

    // An edit in place, keeping the inode, is seen as well.
    QFile file(storePath(dir));
    QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
    file.write("[Note]\nRed=edited in place\n");
    file.close();
    QCOMPARE(first.ReadSetting("Note", "Red"), QStringLiteral("edited in place"));
    QCOMPARE(first.ReadSetting("Note", "Green"), QString());
}

// ---- Stores that cannot be read or written ----

void TstIniSettingsStore::unreadableStore_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("readableKey"); // a key in [Note] that still reads as "ok"

    QRandomGenerator random(20240705);
    QByteArray garbage(256 * 1024, Qt::Uninitialized);
    for (char& c : garbage)
        c = char(random.bounded(256));
    QByteArray invalidUtf8;
    for (int i = 0; i < 10000; ++i)
        invalidUtf8 += "\xff\xfe\xc3\x28\xa0\xa1\xe2\x28\xa1\xf0\x90\x28\xbc";

    QTest::newRow("binary garbage") << garbage << "";
    QTest::newRow("invalid UTF-8") << invalidUtf8 << "";
    QTest::newRow("invalid UTF-8 in a value")
        << QByteArray("[Note]\nRed=\xff\xfe\xc3\nGreen=ok\n") << "Green";
    QTest::newRow("10 MB line") << QByteArray(10 * 1024 * 1024, 'y') + "\n[Note]\nGreen=ok\n"
                                << "Green";
    const QByteArray bigValue = "[Note]\nRed=" + QByteArray(10 * 1024 * 1024, 'v') + "\nGreen=ok\n";
    QTest::newRow("10 MB value") << bigValue << "Green";
    QTest::newRow("NUL bytes") << QByteArray("[Note]\0\nRed\0=\0\n\0\0\nGreen=ok\n", 28) << "Green";
    QTest::newRow("unterminated quote") << QByteArray("[Note]\nRed=\"open\nGreen=ok\n") << "Green";
    QTest::newRow("unterminated header") << QByteArray("[Note\nGreen=ok\n") << "";
}

void TstIniSettingsStore::unreadableStore()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, readableKey);
    QTemporaryDir dir;
    writeFile(storePath(dir), file);
    IniSettingsStore store(storePath(dir));
    if (!readableKey.isEmpty())
        QCOMPARE(store.ReadSetting("Note", readableKey), QStringLiteral("ok"));
    for (const char* key : { "Red", "Blue", "Red1" })
        QVERIFY(store.ReadSetting("Date", key).isEmpty());

    // What is there is kept; our entry is added and reads back.
    QVERIFY2(store.WriteSetting("Timer", "Blue", "saved"), qPrintable(store.errorString()));
    IniSettingsStore reread(storePath(dir));
    QCOMPARE(reread.ReadSetting("Timer", "Blue"), QStringLiteral("saved"));
    // Every entry that could be made out of the old bytes is still there.
    const IniFormat::Document before = IniFormat::parse(file);
    for (const QString& section : before.sections()) {
        for (const QString& key : before.keys(section))
            QCOMPARE(reread.ReadSetting(section, key), *before.find(section, key));
    }
}

void TstIniSettingsStore::folderInPlaceOfFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(storePath(dir)));
    IniSettingsStore store(storePath(dir));
    QCOMPARE(store.ReadSetting("Note", "Red"), QString());
    QVERIFY(!store.WriteSetting("Note", "Red", "kept in memory"));
    QVERIFY2(store.errorString().contains("Is a directory"), qPrintable(store.errorString()));
    QVERIFY(store.errorString().contains(storePath(dir)));
    QCOMPARE(store.ReadSetting("Note", "Red"), QStringLiteral("kept in memory"));
    QVERIFY(QFileInfo(storePath(dir)).isDir());

    // Once the folder is gone, the next write saves everything.
    QVERIFY(QDir(storePath(dir)).removeRecursively());
    QVERIFY2(store.WriteSetting("Note", "Green", "g"), qPrintable(store.errorString()));
    QVERIFY(store.errorString().isEmpty());
    IniSettingsStore reread(storePath(dir));
    QCOMPARE(reread.ReadSetting("Note", "Red"), QStringLiteral("kept in memory"));
    QCOMPARE(reread.ReadSetting("Note", "Green"), QStringLiteral("g"));
}

void TstIniSettingsStore::unreadableFileIsNotReplaced()
{
    if (runningAsRoot())
        QSKIP("a mode 000 file is readable for root");
    QTemporaryDir dir;
    writeFile(storePath(dir), "[Note]\nRed=secret\n");
    QVERIFY(QFile::setPermissions(storePath(dir), {}));
    IniSettingsStore store(storePath(dir));
    QCOMPARE(store.ReadSetting("Note", "Red"), QString());
    QVERIFY(!store.WriteSetting("Note", "Green", "g"));
    QVERIFY2(store.errorString().contains("Permission denied"), qPrintable(store.errorString()));
    QCOMPARE(store.ReadSetting("Note", "Green"), QStringLiteral("g"));
    QVERIFY(QFile::setPermissions(storePath(dir), QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(readFile(storePath(dir)), QByteArray("[Note]\nRed=secret\n"));
}

void TstIniSettingsStore::failedWriteKeepsValueAndOldFile()
{
    // A file-size limit fails the write like a full disk does, also for root.
    QTemporaryDir dir;
    IniSettingsStore store(storePath(dir));
    QVERIFY(store.WriteSetting("Note", "Red", "small"));
    const QByteArray before = readFile(storePath(dir));
    const QString big(64 * 1024, u'b');

    rlimit saved;
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = store.WriteSetting("Note", "Green", big);
    const bool removed = store.RemoveSetting("Note", "Red");
    const bool retried = store.retrySave();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY(!removed);
    QVERIFY(!retried);
    QVERIFY2(store.errorString().contains("File too large"), qPrintable(store.errorString()));
    QCOMPARE(readFile(storePath(dir)), before);
    QVERIFY(temporariesIn(dir.filePath("Tackpad")).isEmpty());
    QCOMPARE(store.ReadSetting("Note", "Green"), big);
    QCOMPARE(store.ReadSetting("Note", "Red"), QString());

    // Tried again once the disk takes it, with nothing new to write, it saves what failed.
    QVERIFY(store.retrySave());
    QVERIFY(store.errorString().isEmpty());
    {
        IniSettingsStore reread(storePath(dir));
        QCOMPARE(reread.ReadSetting("Note", "Green"), big);
        QCOMPARE(reread.ReadSetting("Note", "Red"), QString());
    }

    // The same, through the next write that works.
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    const bool bigger = store.WriteSetting("Note", "Blue", big);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!bigger);
    QVERIFY(store.WriteSetting("Date", "Red", "d"));
    QVERIFY(store.errorString().isEmpty());
    IniSettingsStore reread(storePath(dir));
    QCOMPARE(reread.ReadSetting("Note", "Green"), big);
    QCOMPARE(reread.ReadSetting("Note", "Blue"), big);
    QCOMPARE(reread.ReadSetting("Date", "Red"), QStringLiteral("d"));
}

void TstIniSettingsStore::lockThatCannotBeTakenFailsTheWrite()
{
    QTemporaryDir dir;
    const QString path = storePath(dir);
    QVERIFY(IniSettingsStore(path).WriteSetting("Note", "Red", "old"));
    // A child whose flock answers ENOLCK, as a network file system without locks does.
    const pid_t pid = ::fork();
    QVERIFY(pid >= 0);
    if (pid == 0) {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_flock, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOLCK),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program { sizeof filter / sizeof filter[0], filter };
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
            || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            ::_exit(99);
        IniSettingsStore store(path);
        int failures = 0;
        failures |= store.WriteSetting("Note", "Red", "new") ? 1 : 0;
        failures |= store.ReadSetting("Note", "Red") == QLatin1String("new") ? 0 : 2;
        failures |= store.errorString().contains(QLatin1String("lock")) ? 0 : 4;
        failures |= store.retrySave() ? 8 : 0;
        failures |= store.unsavedEntries().size() == 1 ? 0 : 16;
        ::_exit(failures);
    }
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    // Nothing was written without the lock.
    QCOMPARE(IniSettingsStore(path).ReadSetting("Note", "Red"), QStringLiteral("old"));
}

void TstIniSettingsStore::failedWriteOnUnusableFolder()
{
    QTemporaryDir dir;
    // A file where the folder should be stops root as well.
    writeFile(dir.filePath("home"), "not a folder");
    IniSettingsStore store(dir.filePath("home/.config/Tackpad/Tackpad.ini"));
    QVERIFY(!store.WriteSetting("Note", "Red", "r"));
    QVERIFY2(store.errorString().contains("Not a directory"), qPrintable(store.errorString()));
    QCOMPARE(store.ReadSetting("Note", "Red"), QStringLiteral("r"));
    QCOMPARE(readFile(dir.filePath("home")), QByteArray("not a folder"));

    if (runningAsRoot())
        QSKIP("read-only folders and homes do not stop root");
    QVERIFY(QDir().mkpath(dir.filePath("ro/Tackpad")));
    IniSettingsStore readOnly(dir.filePath("ro/Tackpad/Tackpad.ini"));
    QVERIFY(readOnly.WriteSetting("Note", "Red", "old"));
    QVERIFY(QFile::setPermissions(dir.filePath("ro/Tackpad"), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(!readOnly.WriteSetting("Note", "Red", "new"));
    QVERIFY2(
        readOnly.errorString().contains("Permission denied"), qPrintable(readOnly.errorString()));
    QCOMPARE(IniSettingsStore(dir.filePath("ro/Tackpad/Tackpad.ini")).ReadSetting("Note", "Red"),
        QStringLiteral("old"));
    QVERIFY(QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner));
    IniSettingsStore unwritableHome(dir.filePath("ro/.config/Tackpad/Tackpad.ini"));
    QVERIFY(!unwritableHome.WriteSetting("Note", "Red", "r"));
    QVERIFY(!unwritableHome.errorString().isEmpty());
    QFile::setPermissions(
        dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(
        dir.filePath("ro/Tackpad"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TstIniSettingsStore::symlinkInPlaceOfFileIsReplaced()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("elsewhere/target.ini");
    const QByteArray targetBytes = "[Note]\nRed=from the link target\n";
    writeFile(target, targetBytes);
    QVERIFY(QFile::setPermissions(
        target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(QDir().mkpath(dir.filePath("Tackpad")));
    QVERIFY(QFile::link(target, storePath(dir)));

    IniSettingsStore store(storePath(dir));
    QVERIFY(store.WriteSetting("Note", "Green", "g"));
    QVERIFY(!isSymLink(storePath(dir)));
    QCOMPARE(modeOf(storePath(dir)), 0600);
    QCOMPARE(readFile(target), targetBytes);
    QCOMPARE(modeOf(target), 0644);
    QCOMPARE(IniSettingsStore(storePath(dir)).ReadSetting("Note", "Green"), QStringLiteral("g"));

    // A dangling link: its target is not created.
    QTemporaryDir other;
    QVERIFY(QDir().mkpath(other.filePath("Tackpad")));
    const QString nowhere = other.filePath("nowhere.ini");
    QVERIFY(QFile::link(nowhere, storePath(other)));
    IniSettingsStore dangling(storePath(other));
    QVERIFY(dangling.WriteSetting("Note", "Red", "r"));
    QVERIFY(!QFile::exists(nowhere));
    QVERIFY(!isSymLink(storePath(other)));
}

void TstIniSettingsStore::privateModes()
{
    // Without a umask to narrow them, the modes are the store's own.
    const mode_t oldMask = ::umask(0);
    QTemporaryDir dir;
    const QString path = dir.filePath("config/deeper/Tackpad/Tackpad.ini");
    IniSettingsStore store(path);
    const bool written = store.WriteSetting("Note", "Red", "r");
    ::umask(oldMask);
    QVERIFY(written);
    QCOMPARE(modeOf(path), 0600);
    QCOMPARE(modeOf(dir.filePath("config/deeper/Tackpad")), 0700);
    QCOMPARE(modeOf(dir.filePath("config")), 0700);

    // Wider modes that were there before are tightened by the first write.
    QTemporaryDir wide;
    writeFile(storePath(wide), "[Note]\nRed=r\n");
    QVERIFY(::chmod(QFile::encodeName(wide.filePath("Tackpad")).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(storePath(wide)).constData(), 0644) == 0);
    IniSettingsStore existing(storePath(wide));
    QCOMPARE(existing.ReadSetting("Note", "Red"), QStringLiteral("r"));
    QCOMPARE(modeOf(storePath(wide)), 0644); // reading changes nothing
    QVERIFY(existing.WriteSetting("Note", "Green", "g"));
    QCOMPARE(modeOf(storePath(wide)), 0600);
    QCOMPARE(modeOf(wide.filePath("Tackpad")), 0700);
}

void TstIniSettingsStore::defaultFilePath_data()
{
    QTest::addColumn<QByteArray>("xdg");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QString>("expected"); // "~" stands for the passwd home folder

    QTest::newRow("absolute XDG_CONFIG_HOME")
        << QByteArray("/x/conf") << QByteArray("/h") << "/x/conf/Tackpad/Tackpad.ini";
    QTest::newRow("trailing slash")
        << QByteArray("/x/conf/") << QByteArray("/h") << "/x/conf/Tackpad/Tackpad.ini";
    QTest::newRow("unset") << QByteArray("<unset>") << QByteArray("/h")
                           << "/h/.config/Tackpad/Tackpad.ini";
    QTest::newRow("empty") << QByteArray("") << QByteArray("/h")
                           << "/h/.config/Tackpad/Tackpad.ini";
    QTest::newRow("relative is ignored")
        << QByteArray("rel/conf") << QByteArray("/h") << "/h/.config/Tackpad/Tackpad.ini";
    QTest::newRow("HOME unset") << QByteArray("<unset>") << QByteArray("<unset>")
                                << "~/.config/Tackpad/Tackpad.ini";
    QTest::newRow("HOME empty") << QByteArray("") << QByteArray("")
                                << "~/.config/Tackpad/Tackpad.ini";
    QTest::newRow("HOME unset, XDG set")
        << QByteArray("/x") << QByteArray("<unset>") << "/x/Tackpad/Tackpad.ini";
}

void TstIniSettingsStore::defaultFilePath()
{
    QFETCH(QByteArray, xdg);
    QFETCH(QByteArray, home);
    QFETCH(QString, expected);
    const EnvGuard keepXdg("XDG_CONFIG_HOME");
    const EnvGuard keepHome("HOME");
    setOrUnset("XDG_CONFIG_HOME", xdg);
    setOrUnset("HOME", home);
    if (expected.startsWith(u'~')) {
        const passwd* entry = ::getpwuid(::getuid());
        QVERIFY(entry);
        expected.replace(0, 1, QDir::cleanPath(QFile::decodeName(entry->pw_dir)));
        expected = QDir::cleanPath(expected);
    }
    QCOMPARE(IniSettingsStore::defaultFilePath(), expected);
}

void TstIniSettingsStore::defaultFilePathMatchesQSettings()
{
    // QSettings takes its folders from the environment once, on first use: here.
    QTemporaryDir config;
    const EnvGuard keepXdg("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Tackpad", "Tackpad");
    QCOMPARE(IniSettingsStore::defaultFilePath(), settings.fileName());
    QCOMPARE(IniSettingsStore::defaultFilePath(), config.filePath("Tackpad/Tackpad.ini"));
}

// ---- The format on its own ----

void TstIniSettingsStore::parseSerializeIsStable()
{
    // Random INI-ish bytes: parsing what was serialised gives the same entries, and saving a
    // changed entry leaves the others as they were.
    QRandomGenerator random(4711);
    const QByteArray alphabet("ab=;#,\"\\[] \t\r\n@x\xc3\xa9\xff%0");
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        const int length = random.bounded(200);
        for (int i = 0; i < length; ++i)
            bytes += alphabet[random.bounded(int(alphabet.size()))];
        IniFormat::Document doc = IniFormat::parse(bytes);
        const QByteArray serialized = IniFormat::serialize(doc);
        const IniFormat::Document again = IniFormat::parse(serialized);
        const QByteArray why = "input " + bytes.toPercentEncoding() + " written as "
            + serialized.toPercentEncoding();
        QVERIFY2(again.sections() == doc.sections(), why.constData());
        for (const QString& section : doc.sections()) {
            QVERIFY2(again.keys(section) == doc.keys(section), why.constData());
            for (const QString& key : doc.keys(section))
                QVERIFY2(*again.find(section, key) == *doc.find(section, key), why.constData());
        }

        QString text;
        for (int i = random.bounded(12); i > 0; --i)
            text += QChar(
                char16_t(random.bounded(2) ? random.bounded(0x80) : random.bounded(0x10000)));
        doc.setValue("Note", "Red", text);
        const IniFormat::Document changed = IniFormat::parse(doc.serialize());
        QCOMPARE(*changed.find(u"Note", u"Red"), text);
        for (const QString& section : again.sections()) {
            for (const QString& key : again.keys(section)) {
                if (section != note || key != QLatin1String("Red"))
                    QCOMPARE(*changed.find(section, key), *again.find(section, key));
            }
        }
    }
}

// ---- Other processes ----

void TstIniSettingsStore::killedWriterLeavesWholeFile()
{
    QTemporaryDir dir;
    const QString path = storePath(dir);
    QRandomGenerator random(1234);
    qint64 stored = 0;
    int trials = 0;
    int killedBeforeFirstReport = 0;
    QElapsedTimer clock;
    clock.start();
    for (; trials < 200; ++trials) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { "--store-child", "grow", path });
        QVERIFY(child.waitForStarted());
        // Mostly while it writes; now and then while it is still starting or on its first write.
        if (random.bounded(4) == 0) {
            QThread::usleep(random.bounded(30000));
        } else {
            QVERIFY(child.waitForReadyRead(10000));
            QThread::usleep(random.bounded(8000));
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        qint64 reported = stored;
        for (const QByteArray& line : lines) {
            QVERIFY2(!line.startsWith("failed"), line.constData());
            if (!line.isEmpty())
                reported = line.toLongLong();
        }
        if (reported == stored)
            ++killedBeforeFirstReport;

        const QByteArray bytes = readFile(path);
        if (bytes.isEmpty() && reported == 0)
            continue; // killed before the first write ever
        const IniFormat::Document doc = IniFormat::parse(bytes);
        const QString* value = doc.find(u"Note", u"Text");
        QVERIFY2(value, qPrintable(QStringLiteral("trial %1: no whole entry").arg(trials)));
        const qint64 n = growthStep(*value);
        const QString told = QStringLiteral("trial %1: file holds %2, child reported %3");
        QVERIFY2(
            n == reported || n == reported + 1, qPrintable(told.arg(trials).arg(n).arg(reported)));
        stored = n;
    }
    qInfo("%d kills in %lld ms, %d before the child reported a write, last step %lld", trials,
        clock.elapsed(), killedBeforeFirstReport, stored);
    QVERIFY(stored > trials); // most trials got some writes done
    // Temporary files of killed writers are cleared by the next writer: at most one is left.
    QVERIFY(temporariesIn(dir.filePath("Tackpad")).size() <= 1);
}

void TstIniSettingsStore::concurrentWritersLoseNothing()
{
    QTemporaryDir dir;
    const QString path = storePath(dir);
    {
        IniSettingsStore store(path);
        QVERIFY(store.WriteSetting("Note", "Red", "there before"));
    }
    const int count = 150;
    QProcess a;
    QProcess b;
    a.start(QCoreApplication::applicationFilePath(),
        { "--store-child", "keys", path, "A", QString::number(count) });
    b.start(QCoreApplication::applicationFilePath(),
        { "--store-child", "keys", path, "B", QString::number(count) });
    QVERIFY(a.waitForFinished(60000));
    QVERIFY(b.waitForFinished(60000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    QCOMPARE(a.readAllStandardOutput(), QByteArray("done\n"));
    QCOMPARE(b.readAllStandardOutput(), QByteArray("done\n"));

    IniSettingsStore reader(path);
    QCOMPARE(reader.ReadSetting("Note", "Red"), QStringLiteral("there before"));
    for (const QString& section : { QStringLiteral("A"), QStringLiteral("B") }) {
        QCOMPARE(reader.ReadSetting(section, "last"), section + QString::number(count - 1));
        for (int i = 0; i < count; ++i)
            QCOMPARE(reader.ReadSetting(section, QStringLiteral("k%1").arg(i)),
                section + QString::number(i));
    }
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--store-child") == 0)
        return runStoreChild(app.arguments().mid(2));
    TstIniSettingsStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inisettingsstore.moc"
