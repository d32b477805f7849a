// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls.h"
#include "fakes.h"
#include "fakewallclockalarm.h"
#include "harness.h"

#include "app/tackpad.h"
#include "notes/notes.h"
#include "notes/notewindow.h"
#include "platform/settingsfile/inisettingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTextEdit>

#include <memory>
#include <unistd.h>

/// The whole program on the real settings store (a file of the test's choice), with fakes only
/// for the parts that would reach outside the test: clock, autostart list, message box, speaker.
struct RealStoreApp {
    ShortIntervals shortIntervals;
    explicit RealStoreApp(const QString& iniPath, Autostart* realAutostart = nullptr,
        CommandRunner* realCommands = nullptr)
        : store(iniPath)
    {
        app = std::make_unique<Tackpad>(Platform { store, clock,
            realAutostart ? *realAutostart : static_cast<Autostart&>(autostart), messages, ports,
            realCommands ? *realCommands : static_cast<CommandRunner&>(commands), alarm });
    }
    ~RealStoreApp()
    {
        app.reset();
        // Boxes of this run must not be counted by the next one.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMessageBox*>(w))
                delete w;
        }
    }

    QTextEdit* note(NoteColour colour)
    {
        showNote(colour);
        QTextEdit* txt = noteTextBox(noteWindow(colour));
        txt->moveCursor(QTextCursor::End);
        return txt;
    }

    IniSettingsStore store;
    FakeClock clock;
    FakeWallClockAlarm alarm { clock };
    FakeAutostart autostart;
    FakeMessageBox messages;
    RecordingPorts ports;
    FakeCommandRunner commands;
    std::unique_ptr<Tackpad> app;
};

/// One keystroke as the keyboard delivers it to the text box: press and release with its text.
inline void typeKey(QWidget* target, const QString& text)
{
    const int key = text == u"\n" ? int(Qt::Key_Return)
        : text == u"\t"           ? int(Qt::Key_Tab)
                                  : int(Qt::Key_unknown);
    const QString eventText = text == u"\n" ? QStringLiteral("\r") : text;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, eventText);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, eventText);
    QApplication::sendEvent(target, &release);
}

/// The text of keystroke i of the typing tests: letters, blanks, the characters the INI format
/// escapes or quotes, line breaks, non-ASCII and a character outside the BMP.
inline QString keystroke(qsizetype i)
{
    static const QStringList keys = [] {
        QStringList k = QString::fromUtf8("T a c k ; = \" \\ # [ ] é ü 😀 @ % \xe2\x82\xac 0 7 9 Z")
                            .split(u' ');
        k << QStringLiteral(" ") << QStringLiteral("\t") << QStringLiteral("\n");
        return k;
    }();
    return keys[i % keys.size()];
}

/// The text after the first n keystrokes.
inline QString typedText(qsizetype n)
{
    QString s;
    for (qsizetype i = 0; i < n; ++i)
        s += keystroke(i);
    return s;
}

/// How many keystrokes make exactly this text, or -1.
inline qsizetype keystrokesOf(const QString& text)
{
    QString s;
    for (qsizetype n = 0;; ++n) {
        if (s == text)
            return n;
        if (s.size() >= text.size())
            return -1;
        s += keystroke(n);
    }
}

/// One line to the parent with one write(2): whole lines arrive even when the child is killed.
inline void reportLine(const QByteArray& line)
{
    const QByteArray out = line + '\n';
    if (::write(STDOUT_FILENO, out.constData(), size_t(out.size())) < 0)
        ::_exit(9);
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

/// The save-failure boxes on screen.
inline QList<QMessageBox*> saveFailureBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w);
            box && box->objectName() == QLatin1String("saveFailureMessage") && box->isVisible())
            boxes << box;
    }
    return boxes;
}

/// The test's own home (under the build folder) exists before anything is put into it.
inline void prepareHome()
{
    for (const char* name : { "HOME", "XDG_CONFIG_HOME" }) {
        const QByteArray path = qgetenv(name);
        if (!path.isEmpty())
            QDir().mkpath(QFile::decodeName(path));
    }
}
