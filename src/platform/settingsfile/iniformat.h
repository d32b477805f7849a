// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

/// Reading and writing the INI text that QSettings::IniFormat uses, without any file handling.
///
/// Values are single texts: an unquoted comma is part of the text (QSettings would make a list
/// of it). Lines the parser does not understand, comments and blank lines are kept byte for byte
/// and written back, and so is every entry that has not been changed since it was parsed.
namespace IniFormat {

class Document final {
public:
    /// The entry's text, or nullptr when the section or key is missing. The pointer is valid
    /// until the document is changed.
    const QString* find(QStringView section, QStringView key) const;
    /// Creates or replaces the entry; false when it already held exactly this text.
    bool setValue(const QString& section, const QString& key, const QString& value);
    /// Removes the entry and, when nothing else is left in it, its section; false when missing.
    bool remove(QStringView section, QStringView key);

    QStringList sections() const;
    QStringList keys(QStringView section) const;

    /// The whole document as INI text, appended to out (whose capacity can thus be reused).
    void serializeTo(QByteArray& out) const;
    QByteArray serialize() const;
    /// The length serialize() would give.
    qsizetype byteSize() const;

private:
    friend Document parse(QByteArrayView data);

    // One logical line: an entry, or anything else kept as it was (comment, blank, junk).
    struct Line {
        QString key; // empty for lines that are not entries
        mutable QString value; // the entry's text, once read (see decoded)
        QByteArray bytes; // the line as written, including its line break
        bool isEntry = false;
        // An entry set by setValue() keeps only its bytes, and find() reads the text back from
        // them when asked: a kept copy would share the caller's text, and a note that edits its
        // text in place on every keystroke would then copy all of it each time.
        mutable bool decoded = true;
        QByteArray spare; // the buffer the next setValue() builds the line in
    };
    struct Section {
        QString name;
        QByteArray header; // empty for the lines before the first section header
        QList<Line> lines;
    };

    Section* findSection(QStringView name);
    const Section* findSection(QStringView name) const;
    Section& addSection(const QString& name);

    QList<Section> m_sections;
};

/// Parses INI text; never fails, whatever the bytes.
Document parse(QByteArrayView data);
/// The INI text of a document.
QByteArray serialize(const Document& document);

/// Appends a value the way QSettings writes a text: escapes, quotes when needed, UTF-8.
void appendEscapedValue(QByteArray& out, QStringView value);
/// The text of a value as it stands after the '=' (surrounding blanks allowed).
QString unescapeValue(QByteArrayView raw);
/// Appends a key or section name the way QSettings writes it (%XX, %UXXXX, '/' as '\').
void appendEscapedKey(QByteArray& out, QStringView key);
QString unescapeKey(QByteArrayView raw);

} // namespace IniFormat
