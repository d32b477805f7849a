// SPDX-License-Identifier: GPL-3.0-or-later
// What must not leak or be hijacked: the autostart entry's command line, the web command, and
// files planted where the program writes.
#include "controls.h"
#include "relsupport.h"

#include "base/buildinfo.h"
#include "platform/desktopcommandrunner.h"
#include "platform/xdgautostart.h"
#include "tray/traymenu.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

// The value of a desktop entry key as the Desktop Entry rules read it (\s \n \t \r \\).
QString unescapeString(const QString& raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        const QChar e = raw[++i];
        out += e == u's' ? QChar(u' ')
            : e == u'n'  ? QChar(u'\n')
            : e == u't'  ? QChar(u'\t')
            : e == u'r'  ? QChar(u'\r')
                         : e;
    }
    return out;
}

// The arguments of an Exec value: blanks separate, double quotes group, and inside them a
// backslash takes the next of " ` $ \; %% is a literal %. Nothing when the value is malformed.
std::optional<QStringList> execArguments(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArg = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\') {
                if (i + 1 == exec.size() || !QStringLiteral("\"`$\\").contains(exec[i + 1]))
                    return std::nullopt;
                current += exec[++i];
            } else if (c == u'%') {
                if (i + 1 == exec.size() || exec[i + 1] != u'%')
                    return std::nullopt;
                current += exec[++i];
            } else {
                current += c;
            }
            continue;
        }
        if (c == u' ') {
            if (inArg)
                args << current;
            current.clear();
            inArg = false;
        } else if (c == u'"') {
            quoted = inArg = true;
        } else {
            // Outside quotes, reserved characters are not allowed at all.
            if (QStringLiteral("\t\n\"'\\><~|&;$*?#()`").contains(c))
                return std::nullopt;
            current += c;
            inArg = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArg)
        args << current;
    return args;
}

// Poll up to five seconds.
bool waitFor(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

// A stand-in for the desktop's URL opener that records its arguments, NUL-separated.
QString fakeOpener(const QString& folder)
{
    const QString path = folder + QStringLiteral("/xdg-open");
    writeFile(path,
        "#!/bin/sh\n"
        "for a in \"$@\"; do printf '%s\\0' \"$a\" >>\"$TACKPAD_TEST_RECORD.part\"; done\n"
        "printf 'argc=%d\\n' $# >>\"$TACKPAD_TEST_RECORD.part\"\n"
        "exec /bin/mv \"$TACKPAD_TEST_RECORD.part\" \"$TACKPAD_TEST_RECORD\"\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList recordedArguments(const QString& record)
{
    QByteArray bytes = readAll(record);
    const qsizetype tail = bytes.lastIndexOf("argc=");
    QStringList args;
    for (const QByteArray& a : bytes.first(tail).split('\0'))
        args << QString::fromUtf8(a);
    args.removeLast(); // after the last NUL
    return args;
}

} // namespace

class TstRelSecurity : public QObject {
    Q_OBJECT
private slots:
    void execQuotesEveryPath_data();
    void execQuotesEveryPath();
    void webCommandRunsNoShell_data();
    void webCommandRunsNoShell();
    void noUrlOpenerChangesNothing();
    void realProgramReplacesAPlantedAutostartLink();
};

void TstRelSecurity::execQuotesEveryPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/usr/bin/tackpad";
    QTest::newRow("blank") << "/opt/my apps/tackpad";
    QTest::newRow("blanks at ends") << "/opt/ x /tackpad ";
    QTest::newRow("double quote") << "/opt/\"q\"/tackpad";
    QTest::newRow("single quote") << "/opt/it's/tackpad";
    QTest::newRow("dollar") << "/opt/$HOME/${x}/tackpad";
    QTest::newRow("backslash") << "/opt/a\\b\\\\c\\/tackpad";
    QTest::newRow("backslash before quote") << "/opt/a\\\"b/tackpad";
    QTest::newRow("percent") << "/opt/100%/%f%%u%/tackpad";
    QTest::newRow("backtick") << "/opt/`id`/tackpad";
    QTest::newRow("shell") << "/opt/a;b|c&d>e<f*g?h#i(j)k~/tackpad";
    QTest::newRow("tab") << "/opt/tab\there/tackpad";
    QTest::newRow("line break") << "/opt/new\nline/tackpad";
    QTest::newRow("carriage return") << "/opt/cr\rhere/tackpad";
    QTest::newRow("non-ASCII") << QString::fromUtf8("/opt/é😀/tackpad");
}

void TstRelSecurity::execQuotesEveryPath()
{
    QFETCH(QString, path);
    const QString entry = QString::fromUtf8(autostartEntry(QStringLiteral("Tackpad"), path));
    const QStringList lines = entry.split(u'\n');
    // Ten lines, each a group or a key=value, and no control characters in any: a path must not
    // start a line of its own or carry raw control characters, which the format forbids.
    QVERIFY2(
        lines.size() == 11 && !entry.contains(u'\t') && !entry.contains(u'\r'), qPrintable(entry));
    for (const QString& line : lines)
        QVERIFY2(line.isEmpty() || line.startsWith(u'[') || line.contains(u'='), qPrintable(line));
    QStringList execLines = lines.filter(QRegularExpression(QStringLiteral("^Exec=")));
    QCOMPARE(execLines.size(), 1);
    const QString exec = unescapeString(execLines.first().mid(5));
    const auto args = execArguments(exec);
    QVERIFY2(args, qPrintable(exec));
    QCOMPARE(*args, QStringList { path });
    QCOMPARE(quoteExecArgument(path), execLines.first().mid(5));

    // The desktop's own checker, where it is installed, agrees.
    const QString validator
        = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        return;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Tackpad.desktop"));
    QVERIFY(writeFile(file, entry.toUtf8()));
    QProcess check;
    check.start(validator, { file });
    QVERIFY(check.waitForFinished(10000));
    const QByteArray said = check.readAllStandardOutput() + check.readAllStandardError();
    QVERIFY2(check.exitCode() == 0 && !said.contains("error"), said.constData());
}

void TstRelSecurity::webCommandRunsNoShell_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("semicolon") << "https://x/;touch MARK";
    QTest::newRow("command substitution") << "https://x/$(touch MARK)";
    QTest::newRow("backticks") << "https://x/`touch MARK`";
    QTest::newRow("and") << "https://x/ && touch MARK";
    QTest::newRow("pipe") << "https://x/|touch MARK";
    QTest::newRow("blanks and quotes") << "https://x/' \"y\" > MARK";
    QTest::newRow("line break") << "https://x/\ntouch MARK";
    QTest::newRow("option-like") << "--help;touch MARK";
    QTest::newRow("no scheme") << "$(touch MARK)";
}

void TstRelSecurity::webCommandRunsNoShell()
{
    QFETCH(QString, address);
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/web-XXXXXX"));
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    fakeOpener(bin);
    const QString mark = dir.filePath(QStringLiteral("pwned"));
    address.replace(QLatin1String("MARK"), mark);
    const QUrl url(address);
    const QString record = dir.filePath(QStringLiteral("argv"));
    qputenv("TACKPAD_TEST_RECORD", QFile::encodeName(record));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));
    DesktopCommandRunner runner;
    const bool started = runner.openWebPage(url);
    qputenv("PATH", path);
    // An address without a scheme never reaches the opener, where it could pass for an option.
    const bool whole = url.isValid() && !url.isRelative();
    QCOMPARE(started, whole);
    if (whole) {
        QVERIFY(waitFor([&] { return QFileInfo::exists(record); }));
        const QStringList arguments = recordedArguments(record);
        QCOMPARE(arguments, QStringList { QString::fromLatin1(url.toEncoded()) });
        QVERIFY(!arguments.first().contains(u' ') && !arguments.first().contains(u'\n'));
    }
    QTest::qWait(100); // anything a shell would have run has had its time
    QVERIFY(!QFileInfo::exists(record) || whole);
    QVERIFY(!QFileInfo::exists(mark));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/pwned")));
}

void TstRelSecurity::noUrlOpenerChangesNothing()
{
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/noopener-XXXXXX"));
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString record = dir.filePath(QStringLiteral("argv"));
    qputenv("TACKPAD_TEST_RECORD", QFile::encodeName(record));
    const QByteArray path = qgetenv("PATH");

    DesktopCommandRunner runner;
    RealStoreApp a(dir.filePath(QStringLiteral("Tackpad.ini")), nullptr, &runner);
    a.app->Form_Load();
    settingsWindow().ShowSettings();
    QVERIFY(QTest::qWaitForWindowExposed(&settingsWindow()));
    const auto clickCredit = [&] {
        QLabel* lblMe = child<QLabel>(settingsWindow(), "lblMe");
        QTest::mouseClick(lblMe, Qt::LeftButton, {}, lblMe->rect().center());
    };

    // With an opener, the click and the menu item do reach it (so the rest proves something).
    fakeOpener(bin);
    qputenv("PATH", QFile::encodeName(bin));
    clickCredit();
    QVERIFY(waitFor([&] { return QFileInfo::exists(record); }));
    QCOMPARE(recordedArguments(record), QStringList { BuildInfo::webAddress() });
    QVERIFY(QFile::remove(record));
    trayCommand("Mnuzovo")->trigger();
    QVERIFY(waitFor([&] { return QFileInfo::exists(record); }));
    QVERIFY(QFile::remove(record));

    // Without one: nothing happens, nothing is shown, the program goes on.
    QVERIFY(QFile::remove(bin + QStringLiteral("/xdg-open")));
    QList<QWidget*> shownBefore;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            shownBefore << w;
    }
    clickCredit();
    trayCommand("Mnuzovo")->trigger();
    QTest::qWait(200);
    qputenv("PATH", path);
    QList<QWidget*> shownAfter;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            shownAfter << w;
    }
    QCOMPARE(shownAfter, shownBefore);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(a.messages.shown.isEmpty());
    QVERIFY(settingsWindow().isVisible());
    QVERIFY(!QFileInfo::exists(record));
}

void TstRelSecurity::realProgramReplacesAPlantedAutostartLink()
{
    const QString program = qEnvironmentVariable("TACKPAD_PROGRAM");
    if (program.isEmpty())
        QSKIP("TACKPAD_PROGRAM does not name the program");
    QTemporaryDir dir(QDir::homePath() + QStringLiteral("/plant-XXXXXX"));
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString autostart = home + QStringLiteral("/.config/autostart");
    QVERIFY(QDir().mkpath(autostart));
    const QString target = dir.filePath(QStringLiteral("mine.desktop"));
    const QByteArray mine = "[Desktop Entry]\nName=mine\n";
    QVERIFY(writeFile(target, mine));
    const QString entry = autostart + QStringLiteral("/Tackpad.desktop");
    QVERIFY(QFile::link(target, entry));

    QProcess tackpad;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    tackpad.setProcessEnvironment(env);
    tackpad.setProcessChannelMode(QProcess::MergedChannels);
    tackpad.start(program, {});
    QVERIFY(tackpad.waitForStarted());
    const bool replaced = waitFor([&] {
        QFileInfo info(entry);
        return info.exists() && !info.isSymLink();
    });
    QTest::qWait(1000);
    const bool running = tackpad.state() == QProcess::Running;
    tackpad.kill();
    tackpad.waitForFinished();
    const QByteArray output = tackpad.readAll();
    QVERIFY2(running, output.constData());
    QCOMPARE(readAll(target), mine);
    QVERIFY2(replaced, output.constData());
    QVERIFY(QFileInfo(entry).isFile());
    QVERIFY(readAll(entry).contains("\nExec=\""));
}

int main(int argc, char** argv)
{
    prepareHome();
    QApplication app(argc, argv);
    TstRelSecurity test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rel_security.moc"
