// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/autostart.h"
#include "base/clock.h"
#include "base/commandrunner.h"
#include "base/messagebox.h"
#include "base/notifications.h"
#include "base/portio.h"
#include "base/settingsstore.h"
#include "base/trayhost.h"

#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

/// An in-memory store that records every call, in order, as "Read Date/Red", "Write Date/Red=x",
/// "Remove Always/Red", "Retry". Like the real one, it keeps what failed to save for the next
/// write that works.
class RecordingStore final : public SettingsStore {
public:
    QString ReadSetting(const QString& section, const QString& key) override
    {
        calls << QStringLiteral("Read %1/%2").arg(section, key);
        return entries.value(section + u'/' + key);
    }
    bool WriteSetting(const QString& section, const QString& key, const QString& value) override
    {
        calls << QStringLiteral("Write %1/%2=%3").arg(section, key, value);
        unsaved.insert(section + u'/' + key, value);
        return save();
    }
    bool RemoveSetting(const QString& section, const QString& key) override
    {
        calls << QStringLiteral("Remove %1/%2").arg(section, key);
        unsaved.insert(section + u'/' + key, std::nullopt);
        return save();
    }
    bool retrySave() override
    {
        calls << QStringLiteral("Retry");
        return save();
    }
    QString errorString() const override
    {
        return failWrites ? QStringLiteral("No space left on device") : QString();
    }
    QList<QPair<QString, QString>> unsavedEntries() const override
    {
        QList<QPair<QString, QString>> out;
        for (const QString& sectionKey : unsaved.keys())
            out.append({ sectionKey.section(u'/', 0, 0), sectionKey.section(u'/', 1) });
        return out;
    }

    /// The calls other than reads.
    QStringList changes() const
    {
        QStringList out;
        for (const QString& c : calls) {
            if (!c.startsWith(QLatin1String("Read ")))
                out << c;
        }
        return out;
    }
    void set(const QString& sectionKey, const QString& value) { entries.insert(sectionKey, value); }

    QMap<QString, QString> entries; // "Section/Key" -> value
    QStringList calls;
    bool failWrites = false;

private:
    bool save()
    {
        if (failWrites)
            return false;
        for (auto it = unsaved.cbegin(); it != unsaved.cend(); ++it) {
            if (it.value())
                entries.insert(it.key(), *it.value());
            else
                entries.remove(it.key());
        }
        unsaved.clear();
        return true;
    }

    QMap<QString, std::optional<QString>> unsaved;
};

/// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 8), QTime(10, 0)))
        : current(std::move(start))
    {
    }
    QDateTime now() const override { return current; }
    qint64 msecsSinceEpoch() const override { return current.toMSecsSinceEpoch(); }
    void advanceMinutes(int minutes) { current = current.addSecs(60 * minutes); }

    QDateTime current;
};

class FakeAutostart final : public Autostart {
public:
    bool registerProgram(const QString& name, const QString& programPath) override
    {
        if (log)
            log->append(QStringLiteral("autostart %1=%2").arg(name, programPath));
        registrations << QPair<QString, QString>(name, programPath);
        return succeed;
    }
    QList<QPair<QString, QString>> registrations;
    bool succeed = true;
    QStringList* log = nullptr;
};

class FakeMessageBox final : public MessageBox {
public:
    void showMessage(const QString& caption, const QString& text) override
    {
        if (log)
            log->append(QStringLiteral("message %1: %2").arg(caption, text));
        shown << QPair<QString, QString>(caption, text);
    }
    /// Takes the next queued answer; the default answer when none is queued.
    bool ask(const QString& caption, const QString& text, const QString& firstAnswer,
        const QString& defaultAnswer) override
    {
        const QString line = QStringLiteral("ask %1: %2 [%3|%4]");
        if (log)
            log->append(line.arg(caption, text, firstAnswer, defaultAnswer));
        asked << QPair<QString, QString>(caption, text);
        return !answers.isEmpty() && answers.takeFirst();
    }
    QList<QPair<QString, QString>> shown;
    QList<QPair<QString, QString>> asked;
    QList<bool> answers; // true: the first answer
    QStringList* log = nullptr;
};

class FakeCommandRunner final : public CommandRunner {
public:
    bool openWebPage(const QUrl& address) override
    {
        opened << address;
        return succeed;
    }
    QList<QUrl> opened;
    bool succeed = true;
};

/// Records every port access as "out 43 b6" / "in 61 -> 20" (hex), and models port 0x61.
class RecordingPorts final : public PortIo {
public:
    void vbOut(qint16 port, qint16 value) override
    {
        log << QStringLiteral("out %1 %2")
                   .arg(port, 0, 16)
                   .arg(value & 0xFF, 2, 16, QLatin1Char('0'));
        if (port == 0x61)
            control = value & 0xFF;
        if (onOut)
            onOut(port, value);
    }
    qint16 vbInp(qint16 port) override
    {
        const qint16 value = port == 0x61 ? control : 0;
        log << QStringLiteral("in %1 -> %2").arg(port, 0, 16).arg(value, 2, 16, QLatin1Char('0'));
        return value;
    }
    /// How many tones were started (speaker switched on).
    int tones() const
    {
        int n = 0;
        for (const QString& l : log)
            n += l.startsWith(QLatin1String("out 61")) && (l.mid(7).toInt(nullptr, 16) & 3) == 3;
        return n;
    }

    QStringList log;
    qint16 control = 0x20;
    std::function<void(qint16, qint16)> onOut;
};

/// A notification area that is there or not, as the test says; it comes when the test says.
class FakeTrayHost final : public TrayHost {
public:
    Kind current() const override { return kind; }
    void watch() override { watching = true; }
    void stopWatching() override { watching = false; }
    /// A tray appears, and is reported if it is being watched for.
    void appear(Kind k)
    {
        kind = k;
        if (watching)
            emit appeared();
    }

    Kind kind = Kind::None;
    bool watching = false;
};

/// A notification service that takes each message, or is not there.
class FakeNotifications final : public Notifications {
public:
    void notify(const QString& title, const QString&, std::function<void(bool)> done) override
    {
        sent << title;
        done(available);
    }
    QStringList sent;
    bool available = true;
};
