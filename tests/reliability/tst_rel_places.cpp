// SPDX-License-Identifier: GPL-3.0-or-later
// The program on settings places that are full, read-only, of the wrong kind or not where the
// environment says. The test runs in a private mount namespace of its own (set up before any
// thread exists), so the small and read-only file systems it mounts vanish with it.
#include "controls.h"
#include "relsupport.h"

#include "platform/settingsfile/iniformat.h"
#include "platform/xdgautostart.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString g_noNamespace; // why mounting is not possible here; empty when it is

void enterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0)
        g_noNamespace = QStringLiteral("unshare(CLONE_NEWNS): ") + qt_error_string(errno);
    else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        g_noNamespace = QStringLiteral("making mounts private: ") + qt_error_string(errno);
}

#define REQUIRE_MOUNTS()                                                                           \
    do {                                                                                           \
        if (!g_noNamespace.isEmpty())                                                              \
            QSKIP(qPrintable(QStringLiteral("cannot mount here (") + g_noNamespace + u')'));       \
    } while (false)

class Mount final {
public:
    ~Mount()
    {
        if (!m_path.isEmpty())
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    bool tmpfs(const QString& path, const char* options)
    {
        m_path = path;
        return ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options) == 0;
    }
    // The folder shown read-only at its own place.
    bool readOnly(const QString& path)
    {
        m_path = path;
        const QByteArray p = QFile::encodeName(path);
        return ::mount(p.constData(), p.constData(), nullptr, MS_BIND, nullptr) == 0
            && ::mount(nullptr, p.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr)
            == 0;
    }

private:
    QString m_path;
};

// Sets environment variables for one test and puts them back.
class Environment final {
public:
    ~Environment()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
        if (!m_cwd.isEmpty())
            QDir::setCurrent(m_cwd);
    }
    void set(const char* name, const std::optional<QByteArray>& value)
    {
        if (!m_saved.contains(name))
            m_saved.insert(name,
                qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    void chdir(const QString& path)
    {
        if (m_cwd.isEmpty())
            m_cwd = QDir::currentPath();
        QDir::setCurrent(path);
    }

private:
    QMap<QByteArray, std::optional<QByteArray>> m_saved;
    QString m_cwd;
};

// Fills the file system of the folder to the last byte.
bool fill(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const QByteArray chunk(512, 'f');
    while (::write(fd, chunk.constData(), size_t(chunk.size())) > 0) { }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

QStringList entriesOf(const QString& folder)
{
    QStringList names
        = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Types keystrokes into the note; each of them must fail to save, and the person hears of it
// once: one box, not modal, that names the reason.
void typeWhileSavingFails(
    RealStoreApp& a, QTextEdit* txt, const QString& before, int count, const QString& reason)
{
    for (int i = 0; i < count; ++i) {
        typeKey(txt, keystroke(i));
        QVERIFY(!a.store.unsavedEntries().isEmpty());
    }
    QCOMPARE(txt->toPlainText(), before + typedText(count));
    const QList<QMessageBox*> boxes = saveFailureBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(!boxes.first()->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    const QString text = boxes.first()->text();
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(text.contains(a.store.filePath()), qPrintable(text));
    QCOMPARE(boxes.first()->windowTitle(), QStringLiteral("Tackpad cannot save your notes"));
}

// Start-up has completed when the settings window can be reached: there is no tray here, so
// the program shows it once the wait for a tray is over.
void settingsWindowIsReachable(RealStoreApp& a)
{
    a.app->watchTray(200);
    QTRY_VERIFY_WITH_TIMEOUT(settingsWindow().isVisible(), 3000);
}

const QByteArray kPresets = "[Always]\nRed=ON\n\n[Date]\nRed=December 08, 2026\n\n[Hour]\nRed=9\n\n"
                            "[Min]\nRed=5\n\n[Note]\nRed=kept\\nsafe\n";

} // namespace

class TstRelPlaces : public QObject {
    Q_OBJECT
private slots:
    void diskFullKeepsTheTextAndTellsOnce();
    void readOnlyFolderKeepsTheTextAndTellsOnce();
    void settingsFileReplacedByAFolder();
    void unusableConfigHomeGoesUnderHome_data();
    void unusableConfigHomeGoesUnderHome();
    void unwritableHome();
};

void TstRelPlaces::diskFullKeepsTheTextAndTellsOnce()
{
    REQUIRE_MOUNTS();
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/full-XXXXXX"));
    const QString folder = dir.filePath(QStringLiteral("config/Tackpad"));
    QVERIFY(QDir().mkpath(folder));
    Mount mount;
    QVERIFY2(mount.tmpfs(folder, "size=64k,mode=0700"), qPrintable(qt_error_string(errno)));
    const QString ini = folder + QStringLiteral("/Tackpad.ini");
    const QByteArray original = "[Always]\nRed=ON\n\n[Note]\nRed=before\n";
    QVERIFY(writeFile(ini, original));
    const QString filler = folder + QStringLiteral("/filler");
    QVERIFY(fill(filler));

    RealStoreApp a(ini);
    a.app->Form_Load();
    QTextEdit* txt = a.note(NoteColour::Red);
    QVERIFY(txt->isVisible());
    QCOMPARE(txt->toPlainText(), QStringLiteral("before"));
    typeWhileSavingFails(
        a, txt, QStringLiteral("before"), 40, QStringLiteral("No space left on device"));
    // The old file is whole, and no failed write left a piece behind.
    QCOMPARE(readAll(ini), original);
    QCOMPARE(entriesOf(folder), QStringList({ "Tackpad.ini", "filler" }));
    QVERIFY(a.messages.shown.isEmpty());

    // Space comes back: the next change saves the whole text on screen.
    QVERIFY(QFile::remove(filler));
    typeKey(txt, QStringLiteral("!"));
    QVERIFY(a.store.unsavedEntries().isEmpty());
    const QString onScreen = txt->toPlainText();
    QCOMPARE(onScreen, QStringLiteral("before") + typedText(40) + u'!');
    QCOMPARE(
        IniSettingsStore(ini).ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")), onScreen);
    QCOMPARE(saveFailureBoxes().size(), 1);

    // Full again after saving worked: that is news, told once more.
    QVERIFY(fill(filler));
    for (int i = 0; i < 10; ++i)
        typeKey(txt, QStringLiteral("?"));
    QCOMPARE(saveFailureBoxes().size(), 2);
    QCOMPARE(
        IniSettingsStore(ini).ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")), onScreen);
    QCOMPARE(txt->toPlainText(), onScreen + QString(10, u'?'));
    settingsWindowIsReachable(a);
}

void TstRelPlaces::readOnlyFolderKeepsTheTextAndTellsOnce()
{
    REQUIRE_MOUNTS();
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/ro-XXXXXX"));
    const QString config = dir.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(config + QStringLiteral("/Tackpad")));
    const QString ini = config + QStringLiteral("/Tackpad/Tackpad.ini");
    QVERIFY(writeFile(ini, kPresets));
    Mount mount;
    QVERIFY2(mount.readOnly(config), qPrintable(qt_error_string(errno)));
    // Root ignores file modes, not a read-only mount.
    QVERIFY(!QFile(config + QStringLiteral("/probe")).open(QIODevice::WriteOnly));
    Environment env;
    env.set("XDG_CONFIG_HOME", QFile::encodeName(config));

    XdgAutostart autostart;
    RealStoreApp a(ini, &autostart);
    a.app->Form_Load();
    // The autostart list cannot be written either: its own message, once.
    QCOMPARE(a.messages.shown.size(), 1);
    QCOMPARE(a.messages.shown.first().second, QStringLiteral("OpenKey failed."));
    const RowControls red = rowOf(settingsWindow(), NoteColour::Red);
    QCOMPARE(red.txtDate->text(), QStringLiteral("December 08, 2026"));
    QCOMPARE(red.txtHour->text(), QStringLiteral("9"));
    QCOMPARE(red.txtMin->text(), QStringLiteral("5"));
    QVERIFY(red.chkStart->isChecked());
    QTextEdit* txt = a.note(NoteColour::Red);
    QVERIFY(txt->isVisible());
    QCOMPARE(txt->toPlainText(), QStringLiteral("kept\nsafe"));
    QCOMPARE(saveFailureBoxes().size(), 0); // start-up changed nothing, so nothing failed
    typeWhileSavingFails(
        a, txt, QStringLiteral("kept\nsafe"), 30, QStringLiteral("Read-only file system"));
    QCOMPARE(readAll(ini), kPresets);
    settingsWindowIsReachable(a);
}

void TstRelPlaces::settingsFileReplacedByAFolder()
{
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/isdir-XXXXXX"));
    const QString ini = dir.filePath(QStringLiteral("Tackpad/Tackpad.ini"));
    QVERIFY(QDir().mkpath(ini));
    QVERIFY(writeFile(ini + QStringLiteral("/inside"), "mine"));

    RealStoreApp a(ini);
    a.app->Form_Load();
    QVERIFY(a.messages.shown.isEmpty());
    QTextEdit* txt = a.note(NoteColour::Red);
    QVERIFY(txt->isVisible());
    QCOMPARE(txt->toPlainText(), QString());
    typeWhileSavingFails(a, txt, QString(), 25, QStringLiteral("Is a directory"));
    // What stands there is not the program's to remove.
    QVERIFY(QFileInfo(ini).isDir());
    QCOMPARE(readAll(ini + QStringLiteral("/inside")), QByteArray("mine"));
    settingsWindowIsReachable(a);
}

void TstRelPlaces::unusableConfigHomeGoesUnderHome_data()
{
    QTest::addColumn<std::optional<QByteArray>>("configHome");
    QTest::newRow("unset") << std::optional<QByteArray>();
    QTest::newRow("empty") << std::optional<QByteArray>("");
    QTest::newRow("relative") << std::optional<QByteArray>("relative/config");
    QTest::newRow("dot") << std::optional<QByteArray>(".");
}

void TstRelPlaces::unusableConfigHomeGoesUnderHome()
{
    QFETCH(std::optional<QByteArray>, configHome);
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/xdg-XXXXXX"));
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString cwd = dir.filePath(QStringLiteral("cwd"));
    QVERIFY(QDir().mkpath(home) && QDir().mkpath(cwd));
    Environment env;
    env.set("HOME", QFile::encodeName(home));
    env.set("XDG_CONFIG_HOME", configHome);
    env.chdir(cwd);

    // As the program builds its store and autostart list.
    XdgAutostart autostart;
    RealStoreApp a(IniSettingsStore::defaultFilePath(), &autostart);
    a.app->Form_Load();
    QVERIFY(a.messages.shown.isEmpty());
    QTextEdit* txt = a.note(NoteColour::Red);
    for (int i = 0; i < 5; ++i)
        typeKey(txt, keystroke(i));
    QCOMPARE(saveFailureBoxes().size(), 0);

    const QString ini = home + QStringLiteral("/.config/Tackpad/Tackpad.ini");
    QCOMPARE(a.store.filePath(), ini);
    QCOMPARE(IniSettingsStore(ini).ReadSetting(QStringLiteral("Note"), QStringLiteral("Red")),
        typedText(5));
    QVERIFY(QFileInfo(home + QStringLiteral("/.config/autostart/Tackpad.desktop")).isFile());
    QCOMPARE(QFileInfo(home + QStringLiteral("/.config/Tackpad")).permissions() & 0x0077, 0);
    // Nothing under the working folder, which a relative path would have named.
    QCOMPARE(entriesOf(cwd), QStringList());
}

void TstRelPlaces::unwritableHome()
{
    REQUIRE_MOUNTS();
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/rohome-XXXXXX"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    Mount mount;
    QVERIFY2(mount.readOnly(home), qPrintable(qt_error_string(errno)));
    Environment env;
    env.set("HOME", QFile::encodeName(home));
    env.set("XDG_CONFIG_HOME", std::nullopt);

    XdgAutostart autostart;
    RealStoreApp a(IniSettingsStore::defaultFilePath(), &autostart);
    a.app->Form_Load();
    QCOMPARE(a.messages.shown.size(), 1);
    QCOMPARE(a.messages.shown.first().second, QStringLiteral("OpenKey failed."));
    QTextEdit* txt = a.note(NoteColour::Red);
    QVERIFY(txt->isVisible());
    typeWhileSavingFails(a, txt, QString(), 20, QStringLiteral("Read-only file system"));
    QCOMPARE(entriesOf(home), QStringList());
    settingsWindowIsReachable(a);
}

int main(int argc, char** argv)
{
    enterPrivateMountNamespace();
    prepareHome();
    QApplication app(argc, argv);
    TstRelPlaces test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rel_places.moc"
