// SPDX-License-Identifier: GPL-3.0-or-later
#include "savekeeper.h"

#include "base/intervals.h"
#include "base/messagebox.h"
#include "base/notecolour.h"
#include "base/settingsstore.h"
#include "base/storekeys.h"

namespace {

// What the person would lose, in words: "the Red note's text", "the Blue note's reminder".
QStringList describeUnsaved(const QList<QPair<QString, QString>>& entries)
{
    QStringList out;
    for (NoteColour c : kAllNotes) {
        bool text = false, presets = false;
        for (const auto& [section, key] : entries) {
            const auto entry = storeEntryAt(section, key);
            if (entry && entry->second == c)
                (entry->first == StoreEntry::NoteText ? text : presets) = true;
        }
        if (text)
            out << QStringLiteral("the %1 note's text").arg(colourWord(c));
        if (presets)
            out << QStringLiteral("the %1 note's reminder").arg(colourWord(c));
    }
    return out;
}

} // namespace

SaveKeeper::SaveKeeper(SettingsStore& store, MessageBox& messages, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_messages(messages)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(intervals().saveRetryMs);
    m_retry.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (!retrySave())
            m_retry.start();
    });
}

QString SaveKeeper::ReadSetting(const QString& section, const QString& key)
{
    return m_store.ReadSetting(section, key);
}

bool SaveKeeper::WriteSetting(const QString& section, const QString& key, const QString& value)
{
    return outcome(m_store.WriteSetting(section, key, value));
}

bool SaveKeeper::RemoveSetting(const QString& section, const QString& key)
{
    return outcome(m_store.RemoveSetting(section, key));
}

bool SaveKeeper::retrySave()
{
    // A retry that fails tells nothing new.
    const bool saved = m_store.retrySave();
    return saved ? outcome(true) : false;
}

QList<QPair<QString, QString>> SaveKeeper::unsavedEntries() const
{
    return m_store.unsavedEntries();
}

QString SaveKeeper::errorString() const { return m_store.errorString(); }

bool SaveKeeper::outcome(bool saved)
{
    if (!saved) {
        if (!m_failing)
            emit failureToTell(m_store.errorString());
        m_failing = true;
        m_retry.start();
    } else if (m_failing && m_store.unsavedEntries().isEmpty()) {
        // A write that works saves whatever earlier ones left behind.
        m_failing = false;
        m_retry.stop();
        emit recovered();
    }
    return saved;
}

bool SaveKeeper::readyToEnd()
{
    if (m_store.retrySave())
        return true;
    if (m_asking)
        return false; // the question is on screen already
    m_asking = true;
    const QStringList lost = describeUnsaved(m_store.unsavedEntries());
    const QString text
        = QStringLiteral("Tackpad could not save %1.\n%2\n\nIf it closes now, these changes are "
                         "lost. If it keeps running, it tries again every few seconds.")
              .arg(lost.isEmpty() ? QStringLiteral("your latest changes")
                                  : lost.join(QStringLiteral(", ")),
                  saveFailureReason(m_store.errorString()));
    const bool closeAnyway = m_messages.ask(QStringLiteral("Tackpad cannot save your notes"), text,
        QStringLiteral("Close anyway"), QStringLiteral("Keep running"));
    m_asking = false;
    if (!closeAnyway)
        m_retry.start();
    return closeAnyway;
}

bool SaveKeeper::sessionEnding(bool mayAsk)
{
    if (mayAsk)
        return readyToEnd();
    m_store.retrySave(); // nobody to ask: the one last try is all there is
    return true;
}
