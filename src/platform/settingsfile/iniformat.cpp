// SPDX-License-Identifier: GPL-3.0-or-later
#include "iniformat.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace IniFormat {

namespace {

    constexpr char hexDigits[] = "0123456789ABCDEF";

    bool isBlank(char c) { return c == ' ' || c == '\t'; }

    bool isHexDigit(char16_t c)
    {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // "\x" and the code in lower-case hex without padding, as QSettings writes it.
    char* putHexEscape(char* d, char16_t c)
    {
        *d++ = '\\';
        *d++ = 'x';
        char digits[4];
        int n = 0;
        do {
            digits[n++] = "0123456789abcdef"[c & 0xF];
            c >>= 4;
        } while (c);
        while (n)
            *d++ = digits[--n];
        return d;
    }

    QByteArrayView trimmed(QByteArrayView v)
    {
        qsizetype b = 0, e = v.size();
        while (b < e && isBlank(v[b]))
            ++b;
        while (e > b && isBlank(v[e - 1]))
            --e;
        return v.sliced(b, e - b);
    }

    QString sectionNameFromHeader(QByteArrayView raw)
    {
        // QSettings keeps top-level keys in [General] and a group really named so in [%General].
        if (raw.size() == 7 && qstrnicmp(raw.data(), "general", 7) == 0)
            return {};
        if (raw.size() == 8 && qstrnicmp(raw.data(), "%general", 8) == 0)
            return QString::fromLatin1(raw.sliced(1));
        return unescapeKey(raw);
    }

    QByteArray headerFor(const QString& name)
    {
        QByteArray header("[");
        if (name.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
            header += '%' + name.toLatin1();
        else
            appendEscapedKey(header, name);
        header += "]\n";
        return header;
    }

    // The line of an entry, built in the buffer of the line it replaces when there is one.
    QByteArray entryBytes(const QString& key, const QString& value, QByteArray bytes = {})
    {
        bytes.resize(0);
        appendEscapedKey(bytes, key);
        bytes += '=';
        appendEscapedValue(bytes, value);
        bytes += '\n';
        // The escaper reserves for the worst case; give back what a long value did not need.
        if (bytes.capacity() > bytes.size() + bytes.size() / 8 + 64)
            bytes.squeeze();
        return bytes;
    }

    bool isBlankText(QByteArrayView bytes)
    {
        for (char c : bytes) {
            if (!isBlank(c) && c != '\n' && c != '\r')
                return false;
        }
        return true;
    }

    // QSettings quotes a text with these, or with a blank at either end, so that its reader
    // neither splits nor trims it. Known before escaping, the text is escaped in place.
    bool needsQuotes(QStringView value)
    {
        const qsizetype n = value.size();
        if (n == 0)
            return false;
        if (value.front() == u' ' || value.back() == u' ')
            return true;
        const char16_t* s = value.utf16();
        qsizetype i = 0;
#if defined(__SSE2__)
        const __m128i semicolon = _mm_set1_epi16(';');
        const __m128i comma = _mm_set1_epi16(',');
        const __m128i equals = _mm_set1_epi16('=');
        for (; i + 8 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(v, semicolon),
                _mm_or_si128(_mm_cmpeq_epi16(v, comma), _mm_cmpeq_epi16(v, equals)));
            if (_mm_movemask_epi8(hit))
                return true;
        }
#endif
        for (; i < n; ++i) {
            if (s[i] == u';' || s[i] == u',' || s[i] == u'=')
                return true;
        }
        return false;
    }

    struct Escaped {
        char* end;
        int unitsUsed;
        bool numeric; // ended in an escape that a following hex digit would extend
    };

    // A unit that is neither plain printable ASCII nor '"' or '\': control characters as
    // QSettings escapes them, the rest as UTF-8. Kept out of line: it is the rare case.
    [[gnu::noinline]] Escaped escapeOther(char* d, char16_t c, char16_t next)
    {
        char letter = 0;
        switch (c) {
        case '\a':
            letter = 'a';
            break;
        case '\b':
            letter = 'b';
            break;
        case '\f':
            letter = 'f';
            break;
        case '\n':
            letter = 'n';
            break;
        case '\r':
            letter = 'r';
            break;
        case '\t':
            letter = 't';
            break;
        case '\v':
            letter = 'v';
            break;
        default:
            break;
        }
        if (letter) {
            *d++ = '\\';
            *d++ = letter;
            return { d, 1, false };
        }
        if (c == 0) {
            *d++ = '\\';
            *d++ = '0';
            return { d, 1, true };
        }
        if (c < 0x80) // the remaining controls and DEL
            return { putHexEscape(d, c), 1, true };
        if (c < 0x800) {
            *d++ = char(0xC0 | (c >> 6));
            *d++ = char(0x80 | (c & 0x3F));
            return { d, 1, false };
        }
        // Raw, a decoder would take U+FEFF for a byte order mark and drop it.
        if (c == 0xFEFF)
            return { putHexEscape(d, c), 1, true };
        if (c >= 0xD800 && c < 0xE000) {
            if (c < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
                const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (next - 0xDC00);
                *d++ = char(0xF0 | (u >> 18));
                *d++ = char(0x80 | ((u >> 12) & 0x3F));
                *d++ = char(0x80 | ((u >> 6) & 0x3F));
                *d++ = char(0x80 | (u & 0x3F));
                return { d, 2, false };
            }
            // A lone surrogate has no UTF-8 form; QSettings reads the escape back as is.
            return { putHexEscape(d, c), 1, true };
        }
        *d++ = char(0xE0 | (c >> 12));
        *d++ = char(0x80 | ((c >> 6) & 0x3F));
        *d++ = char(0x80 | (c & 0x3F));
        return { d, 1, false };
    }

} // namespace

// ---- Values ----

void appendEscapedValue(QByteArray& out, QStringView value)
{
    const qsizetype start = out.size();
    const qsizetype n = value.size();
    // Room for plain text and a few escapes; grown below for texts that need more. An unshared
    // buffer with that capacity already is reused as it is.
    out.resize(start + n + n / 16 + 64);
    char* d = out.data() + start;
    char* limit = out.data() + out.size();
    const char16_t* const s = value.utf16();
    const bool quoted = needsQuotes(value);
    bool escapeNextIfDigit = false;

    if (quoted)
        *d++ = '"';
    // QSettings reads a text starting with '@' as a typed value unless the '@' is doubled.
    if (n > 0 && s[0] == u'@')
        *d++ = '@';

#if defined(__SSE2__)
    const __m128i below = _mm_set1_epi16(0x1F);
    const __m128i above = _mm_set1_epi16(0x7F);
    const __m128i quote = _mm_set1_epi16('"');
    const __m128i backslash = _mm_set1_epi16('\\');
#endif
    constexpr qsizetype roomPerRound = 64; // eight units of at most six bytes, and the end quote
    qsizetype i = 0;
    while (i < n || limit - d < roomPerRound) {
        if (limit - d < roomPerRound) {
            const qsizetype used = d - out.data();
            const qsizetype left = n - i;
            out.resize(std::max(out.size() * 3 / 2, used + roomPerRound + left + left / 8));
            d = out.data() + used;
            limit = out.data() + out.size();
            continue;
        }
        qsizetype stop = std::min(n, i + 8);
#if defined(__SSE2__)
        // Plain printable ASCII eight units at a time: the bulk of any note.
        if (!escapeNextIfDigit) {
            bool plainBlock = false;
            while (i + 8 <= n && limit - d >= roomPerRound) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
                // Signed compares: units from 0x8000 up count as negative and fail the first.
                __m128i plain = _mm_and_si128(_mm_cmpgt_epi16(v, below), _mm_cmplt_epi16(v, above));
                plain = _mm_andnot_si128(
                    _mm_or_si128(_mm_cmpeq_epi16(v, quote), _mm_cmpeq_epi16(v, backslash)), plain);
                const unsigned mask = unsigned(_mm_movemask_epi8(plain));
                // All eight are stored; only the plain ones before the first other unit count.
                _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(v, v));
                if (mask == 0xFFFF) {
                    d += 8;
                    i += 8;
                    plainBlock = true;
                    continue;
                }
                const int plainUnits = __builtin_ctz(~mask) / 2;
                d += plainUnits;
                i += plainUnits;
                // Just the one unit, then plain text again; eight when no plain text came.
                stop = plainUnits > 0 ? i + 1 : std::min(n, i + 8);
                plainBlock = false;
                break;
            }
            if (plainBlock)
                continue; // out of room, or fewer than eight units left
        }
#endif
        while (i < stop) {
            const char16_t c = s[i];
            if (escapeNextIfDigit && isHexDigit(c)) {
                // A digit right after a numeric escape would be read as part of it.
                d = putHexEscape(d, c);
                ++i;
                continue;
            }
            escapeNextIfDigit = false;
            if (c >= 0x20 && c < 0x7F) {
                if (c == '"' || c == '\\')
                    *d++ = '\\';
                *d++ = char(c);
                ++i;
                continue;
            }
            const Escaped e = escapeOther(d, c, i + 1 < n ? s[i + 1] : char16_t(0));
            d = e.end;
            i += e.unitsUsed;
            escapeNextIfDigit = e.numeric;
        }
    }
    if (quoted)
        *d++ = '"';
    out.resize(d - out.constData());
}

QString unescapeValue(QByteArrayView raw)
{
    QString result;
    result.reserve(raw.size());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const qsizetype n = raw.size();
    qsizetype i = 0;
    while (i < n && isBlank(raw[i]))
        ++i;
    bool inQuotes = false;
    qsizetype chopLimit = 0; // trailing blanks before this came from escapes or quotes: kept
    while (i < n) {
        const char c = raw[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            ++i;
            chopLimit = result.size();
            continue;
        }
        if (c != '\\') {
            qsizetype j = i + 1;
            while (j < n && raw[j] != '\\' && raw[j] != '"')
                ++j;
            result += decoder(raw.sliced(i, j - i));
            i = j;
            continue;
        }
        if (++i >= n)
            break;
        const char e = raw[i++];
        switch (e) {
        case 'a':
            result += u'\a';
            break;
        case 'b':
            result += u'\b';
            break;
        case 'f':
            result += u'\f';
            break;
        case 'n':
            result += u'\n';
            break;
        case 'r':
            result += u'\r';
            break;
        case 't':
            result += u'\t';
            break;
        case 'v':
            result += u'\v';
            break;
        case '"':
        case '?':
        case '\'':
        case '\\':
            result += QLatin1Char(e);
            break;
        case 'x': {
            char32_t code = 0;
            bool any = false;
            while (i < n && hexValue(raw[i]) >= 0) {
                code = (code << 4) | char32_t(hexValue(raw[i++]));
                code &= 0x1FFFFF;
                any = true;
            }
            if (any) {
                if (code > 0xFFFF && code <= 0x10FFFF)
                    result += QChar::fromUcs4(code);
                else
                    result += QChar(char16_t(code));
            }
            break;
        }
        case '\n':
        case '\r':
            // A backslash at the end of a line continues the value on the next one.
            if (i < n && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e)
                ++i;
            break;
        default:
            if (e >= '0' && e <= '7') {
                char32_t code = char32_t(e - '0');
                while (i < n && raw[i] >= '0' && raw[i] <= '7')
                    code = ((code << 3) | char32_t(raw[i++] - '0')) & 0xFFFF;
                result += QChar(char16_t(code));
            }
            // Any other escaped character is dropped, as QSettings does.
            break;
        }
        chopLimit = result.size();
    }
    if (!inQuotes) {
        qsizetype end = result.size();
        while (end > chopLimit && (result[end - 1] == u' ' || result[end - 1] == u'\t'))
            --end;
        result.truncate(end);
    }

    // Typed values as QSettings writes them; a doubled '@' is a text that starts with one.
    if (result.startsWith(u'@')) {
        if (result.startsWith(QLatin1String("@@")))
            return result.sliced(1);
        if (result.endsWith(u')')) {
            if (result.startsWith(QLatin1String("@String(")))
                return result.sliced(8, result.size() - 9);
            if (result.startsWith(QLatin1String("@ByteArray(")))
                return QString::fromUtf8(result.sliced(11, result.size() - 12).toLatin1());
            if (result == QLatin1String("@Invalid()"))
                return {};
        }
    }
    return result;
}

// ---- Keys ----

void appendEscapedKey(QByteArray& out, QStringView key)
{
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_' || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += hexDigits[c >> 4];
            out += hexDigits[c & 0xF];
        } else {
            out += "%U";
            out += hexDigits[(c >> 12) & 0xF];
            out += hexDigits[(c >> 8) & 0xF];
            out += hexDigits[(c >> 4) & 0xF];
            out += hexDigits[c & 0xF];
        }
    }
}

QString unescapeKey(QByteArrayView raw)
{
    const QString decoded = QString::fromUtf8(raw);
    const qsizetype size = decoded.size();
    QString result;
    result.reserve(size);
    qsizetype i = 0;
    while (i < size) {
        const QChar c = decoded[i];
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == size - 1) {
            result += c;
            ++i;
            continue;
        }
        qsizetype first = i + 1;
        int digits = 2;
        if (decoded[first] == u'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const ushort code
            = first + digits <= size ? decoded.sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

// ---- Document ----

Document parse(QByteArrayView data)
{
    Document doc;
    doc.m_sections.append(Document::Section {});
    QHash<QString, qsizetype> sectionIndex;
    sectionIndex.insert(QString(), 0);
    QHash<std::pair<qsizetype, QString>, qsizetype> entryIndex;
    qsizetype current = 0;

    const qsizetype n = data.size();
    qsizetype pos = 0;
    // A byte order mark as some editors write it: kept, and not read as part of a line.
    if (data.startsWith("\xEF\xBB\xBF")) {
        doc.m_sections.front().header = data.first(3).toByteArray();
        pos = 3;
    }
    while (pos < n) {
        // Byte order marks at the start of a line (editors that join files leave them) are
        // dropped: kept, the line would read otherwise once it comes first in the file.
        while (data.sliced(pos).startsWith("\xEF\xBB\xBF"))
            pos += 3;
        if (pos >= n)
            break;
        const qsizetype start = pos;
        qsizetype p = pos;
        while (p < n && isBlank(data[p]))
            ++p;
        const bool comment = p < n && (data[p] == ';' || data[p] == '#');
        qsizetype end = p;
        bool danglingBackslash = false;
        while (end < n) {
            const char c = data[end];
            if (c == '\n' || c == '\r')
                break;
            if (c == '\\' && !comment) {
                if (end + 1 >= n) {
                    danglingBackslash = true;
                    break;
                }
                ++end; // the escaped byte, which may be a line break: a continuation
                const char e = data[end];
                if (end + 1 < n && (e == '\n' || e == '\r')
                    && (data[end + 1] == '\n' || data[end + 1] == '\r') && data[end + 1] != e)
                    ++end;
            }
            ++end;
        }
        qsizetype next = end;
        if (danglingBackslash) {
            next = n; // a backslash as the very last byte means nothing; drop it
        } else if (next < n) {
            next += data[next] == '\r' && next + 1 < n && data[next + 1] == '\n' ? 2 : 1;
        }
        pos = next;

        QByteArray bytes
            = data.sliced(start, (danglingBackslash ? end : next) - start).toByteArray();
        // Every kept line ends with a line break of its own, even one that ended the file with
        // an escaped line break: moved before other lines, it must not run on into them.
        // (After an escaped CR, only another CR cannot be taken as part of the escape.)
        if (danglingBackslash || next == end)
            bytes += bytes.endsWith('\r') ? '\r' : '\n';

        const QByteArrayView content = data.sliced(p, end - p);
        if (!comment && !content.isEmpty() && content[0] == '[') {
            qsizetype close = content.indexOf(']');
            if (close < 0)
                close = content.size();
            const QString name = sectionNameFromHeader(trimmed(content.sliced(1, close - 1)));
            const auto found = sectionIndex.constFind(name);
            if (found != sectionIndex.constEnd()) {
                current = *found; // a repeated section continues the first one
            } else {
                current = doc.m_sections.size();
                sectionIndex.insert(name, current);
                doc.m_sections.append(Document::Section { name, std::move(bytes), {} });
            }
            continue;
        }

        auto& lines = doc.m_sections[current].lines;
        const qsizetype eq = comment ? -1 : content.indexOf('=');
        const QByteArrayView rawKey = eq > 0 ? trimmed(content.first(eq)) : QByteArrayView();
        // A key of nothing but a byte order mark decodes to no key at all: no entry either.
        const QString entryKey = rawKey.isEmpty() ? QString() : unescapeKey(rawKey);
        if (entryKey.isEmpty()) {
            // Kept as it is; runs of such lines share one item.
            if (!lines.isEmpty() && !lines.back().isEntry)
                lines.back().bytes += bytes;
            else
                lines.append(Document::Line { {}, {}, std::move(bytes), false, true, {} });
            continue;
        }
        Document::Line line { entryKey, unescapeValue(content.sliced(eq + 1)), std::move(bytes),
            true, true, {} };

        const auto key = std::make_pair(current, line.key);
        const auto found = entryIndex.constFind(key);
        if (found != entryIndex.constEnd()) {
            lines[*found] = std::move(line); // the last of repeated keys wins
        } else {
            entryIndex.insert(key, lines.size());
            lines.append(std::move(line));
        }
    }
    return doc;
}

QByteArray serialize(const Document& document) { return document.serialize(); }

const Document::Section* Document::findSection(QStringView name) const
{
    for (const Section& section : m_sections) {
        if (section.name == name)
            return &section;
    }
    return nullptr;
}

Document::Section* Document::findSection(QStringView name)
{
    for (Section& section : m_sections) { // non-const access: detaches shared data first
        if (section.name == name)
            return &section;
    }
    return nullptr;
}

Document::Section& Document::addSection(const QString& name)
{
    if (m_sections.isEmpty())
        m_sections.append(Section {});
    if (name.isEmpty())
        return m_sections.front();
    QByteArray header = headerFor(name);
    // A blank line between sections, as QSettings writes them.
    for (auto s = m_sections.crbegin(); s != m_sections.crend(); ++s) {
        const QByteArray& last = s->lines.isEmpty() ? s->header : s->lines.back().bytes;
        if (last.isEmpty())
            continue;
        if (!last.endsWith("\n\n") && !last.endsWith("\r\n\r\n") && !isBlankText(last))
            header.prepend('\n');
        break;
    }
    m_sections.append(Section { name, std::move(header), {} });
    return m_sections.back();
}

const QString* Document::find(QStringView section, QStringView key) const
{
    const Section* s = findSection(section);
    if (!s)
        return nullptr;
    for (const Line& line : s->lines) {
        if (line.isEntry && line.key == key) {
            if (!line.decoded) {
                // An escaped key holds no '=', and the line ends in the one '\n' added to it.
                const QByteArrayView bytes(line.bytes);
                const qsizetype eq = bytes.indexOf('=');
                line.value = unescapeValue(bytes.sliced(eq + 1, bytes.size() - eq - 2));
                line.decoded = true;
            }
            return &line.value;
        }
    }
    return nullptr;
}

bool Document::setValue(const QString& section, const QString& key, const QString& value)
{
    Section* s = findSection(section);
    if (!s)
        s = &addSection(section);
    qsizetype insertAt = 0;
    for (qsizetype i = 0; i < s->lines.size(); ++i) {
        Line& line = s->lines[i];
        if (!line.isEntry)
            continue;
        if (line.key == key) {
            if (line.decoded && line.value == value)
                return false;
            // Escaping is one to one: the same bytes are the same text.
            line.spare = entryBytes(key, value, std::move(line.spare));
            if (line.spare == line.bytes)
                return false;
            std::swap(line.bytes, line.spare);
            line.value = QString();
            line.decoded = false;
            return true;
        }
        insertAt = i + 1;
    }
    // After the section's last entry, so that the blank line ending the section stays last.
    s->lines.insert(insertAt, Line { key, {}, entryBytes(key, value), true, false, {} });
    return true;
}

bool Document::remove(QStringView section, QStringView key)
{
    Section* s = findSection(section);
    if (!s)
        return false;
    for (qsizetype i = 0; i < s->lines.size(); ++i) {
        if (s->lines[i].isEntry && s->lines[i].key == key) {
            s->lines.removeAt(i);
            if (s != &m_sections.front()) { // the lines before the first header stay
                bool empty = true;
                for (const Line& line : s->lines)
                    empty = empty && !line.isEntry && isBlankText(line.bytes);
                if (empty)
                    m_sections.removeAt(s - m_sections.data());
            }
            return true;
        }
    }
    return false;
}

QStringList Document::sections() const
{
    QStringList names;
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines) {
            if (line.isEntry) {
                names += section.name;
                break;
            }
        }
    }
    return names;
}

QStringList Document::keys(QStringView section) const
{
    QStringList names;
    if (const Section* s = findSection(section)) {
        for (const Line& line : s->lines) {
            if (line.isEntry)
                names += line.key;
        }
    }
    return names;
}

qsizetype Document::byteSize() const
{
    qsizetype size = 0;
    for (const Section& section : m_sections) {
        size += section.header.size();
        for (const Line& line : section.lines)
            size += line.bytes.size();
    }
    return size;
}

void Document::serializeTo(QByteArray& out) const
{
    const qsizetype start = out.size();
    out.resize(start + byteSize());
    char* d = out.data() + start;
    for (const Section& section : m_sections) {
        std::memcpy(d, section.header.constData(), size_t(section.header.size()));
        d += section.header.size();
        for (const Line& line : section.lines) {
            std::memcpy(d, line.bytes.constData(), size_t(line.bytes.size()));
            d += line.bytes.size();
        }
    }
}

QByteArray Document::serialize() const
{
    QByteArray out;
    serializeTo(out);
    return out;
}

} // namespace IniFormat
