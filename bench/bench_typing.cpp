// SPDX-License-Identifier: GPL-3.0-or-later
// Keystroke to durable text: a real NoteWindow whose text box receives key presses, saving through
// the real IniSettingsStore, for note texts of about 1 KB, 64 KB, 1 MB, 4 MB and 10 MB in lines,
// and of 4 MB and 10 MB in one paragraph. For every keystroke:
//   - durable: from the key press sent to the text box until WriteSetting returned (the whole
//     text is then on disk);
//   - hold: from the key press until the press, the release and the event-loop pass after them
//     (the repaint) are done, the time the interface cannot answer anything else;
//   - floor: the very bytes of the settings file after that keystroke, written to a temporary
//     file in the same folder's parent, fdatasync and rename, with nothing else.
// Typing and floor alternate keystroke by keystroke, so a busy disk or CPU hits both alike.
//
//   bench_typing [--keys N] [--keys-1m N] [--keys-big N] [--folder DIR]
// (--keys-big: keystrokes at 4 MB and 10 MB, in lines and in one paragraph, 0 to leave those out)
// Run it with QT_QPA_PLATFORM=offscreen. Prints one line per size and "key value" lines.
#include "floor.h"

#include "notes/notewindow.h"
#include "platform/settingsfile/inisettingsstore.h"
#include "platform/speaker/emulatedspeaker.h"
#include "text/notetextbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

/// The real store, noting when each write returned.
class TimedStore final : public SettingsStore {
public:
    explicit TimedStore(IniSettingsStore& inner)
        : m_inner(inner)
    {
    }
    QString ReadSetting(const QString& section, const QString& key) override
    {
        return m_inner.ReadSetting(section, key);
    }
    bool WriteSetting(const QString& section, const QString& key, const QString& value) override
    {
        lastEnterNs = nowNs();
        const bool ok = m_inner.WriteSetting(section, key, value);
        lastReturnNs = nowNs();
        ++writes;
        failed = failed || !ok;
        return ok;
    }
    bool RemoveSetting(const QString& section, const QString& key) override
    {
        return m_inner.RemoveSetting(section, key);
    }
    QString errorString() const override { return m_inner.errorString(); }

    qint64 lastEnterNs = 0;
    qint64 lastReturnNs = 0;
    int writes = 0;
    bool failed = false;

private:
    IniSettingsStore& m_inner;
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Figures {
    double durableMedian, durableP99, floorMedian, floorP99, holdMedian, holdP99, holdMax;
    double floorMax; // a hold that long stands beside the disk's own longest stall
    int holdsOver16, floorsOver16;
};

bool run(
    const QString& base, const char* label, qsizetype size, int keys, bool oneParagraph = false)
{
    const QString folder = base + QStringLiteral("/typing-%1").arg(QLatin1String(label));
    QDir(folder).removeRecursively();
    const QString floorFolder = folder + QStringLiteral("/floor");
    if (!QDir().mkpath(floorFolder + QStringLiteral("/../Tackpad")))
        return false;
    const QString iniPath = folder + QStringLiteral("/Tackpad/Tackpad.ini");
    {
        // The entries a real store holds besides the note.
        QFile ini(iniPath);
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        ini.write("[Always]\nRed=ON\nGreen=OFF\nBlue=OFF\n"
                  "[Timer]\nRed=ON\nRed1=ON\nGreen=OFF\nGreen1=OFF\nBlue=OFF\nBlue1=OFF\n"
                  "[Date]\nRed=\"July 05, 2004\"\nGreen=\"July 05, 2004\"\nBlue=\"July 05, 2004\"\n"
                  "[Hour]\nRed=9\nGreen=10\nBlue=11\n[Min]\nRed=30\nGreen=0\nBlue=15\n");
    }
    IniSettingsStore ini(iniPath);
    TimedStore store(ini);
    SilentPorts ports;
    NoteWindow note(NoteColour::Red, store, ports);
    note.Form_Load();
    auto* txt = note.findChild<NoteTextBox*>(QStringLiteral("txtRed"));

    QString text;
    const QString line = oneParagraph
        ? QStringLiteral("Call the plumber about the kitchen tap, then buy milk. ")
        : QStringLiteral("Call the plumber about the kitchen tap, then buy milk.\n");
    while (text.size() < size)
        text += line;
    text.truncate(size);
    txt->setNoteText(text); // loaded as at start, and saved once
    note.show();
    note.activateWindow();
    txt->setFocus();
    if (!QTest::qWaitForWindowExposed(&note))
        std::fprintf(stderr, "note window not exposed\n");
    QTextCursor caret = txt->textCursor();
    caret.movePosition(QTextCursor::End);
    txt->setTextCursor(caret);
    QCoreApplication::processEvents();

    const QByteArray nativeFloor = QFile::encodeName(floorFolder);
    std::vector<double> durable, floor, hold, toStore, inStore, plainText;
    durable.reserve(size_t(keys));
    const int warmUp = 5;
    for (int i = 0; i < keys + warmUp; ++i) {
        const char c = (i % 9 == 8) ? ' ' : char('a' + i % 26);
        const int writesBefore = store.writes;
        const qint64 t0 = nowNs();
        QTest::keyClick(txt, c);
        QCoreApplication::processEvents(); // the repaint the key asked for
        const qint64 t1 = nowNs();
        if (store.writes != writesBefore + 1 || store.failed) {
            std::fprintf(stderr, "keystroke %d: %d writes, %s\n", i, store.writes - writesBefore,
                qPrintable(ini.errorString()));
            return false;
        }
        const double durableMs = double(store.lastReturnNs - t0) / 1e6;
        const double holdMs = double(t1 - t0) / 1e6;
        const double toStoreMs = double(store.lastEnterNs - t0) / 1e6;
        const double inStoreMs = double(store.lastReturnNs - store.lastEnterNs) / 1e6;
        // What the note's handler pays for the whole text, taken again outside the timed path.
        const qint64 p0 = nowNs();
        const QString whole = txt->noteText();
        const double plainTextMs = double(nowNs() - p0) / 1e6;
        Q_UNUSED(whole);

        const QByteArray bytes = readFile(iniPath);
        const qint64 f0 = nowNs();
        if (!replaceFile(nativeFloor, bytes)) {
            std::perror("floor");
            return false;
        }
        const double floorMs = double(nowNs() - f0) / 1e6;
        if (i >= warmUp) {
            durable.push_back(durableMs);
            hold.push_back(holdMs);
            floor.push_back(floorMs);
            toStore.push_back(toStoreMs);
            inStore.push_back(inStoreMs);
            plainText.push_back(plainTextMs);
        }
    }
    const qsizetype fileBytes = readFile(iniPath).size();
    note.hide();

    Figures f {};
    f.durableMedian = percentile(durable, 0.5);
    f.durableP99 = percentile(durable, 0.99);
    f.floorMedian = percentile(floor, 0.5);
    f.floorP99 = percentile(floor, 0.99);
    f.holdMedian = percentile(hold, 0.5);
    f.holdP99 = percentile(hold, 0.99);
    f.holdMax = *std::max_element(hold.begin(), hold.end());
    f.holdsOver16 = int(std::count_if(hold.begin(), hold.end(), [](double h) { return h > 16; }));
    f.floorMax = *std::max_element(floor.begin(), floor.end());
    f.floorsOver16
        = int(std::count_if(floor.begin(), floor.end(), [](double h) { return h > 16; }));

    std::printf("# %-13s note %8lld chars, file %8lld bytes, %d keystrokes | key->durable median "
                "%7.3f p99 %7.3f ms | floor median %7.3f p99 %7.3f ms | ratio median %.2f p99 "
                "%.2f | hold median %.3f p99 %.3f max %.3f ms, %d over 16 ms | floor max %.3f ms, "
                "%d over 16 ms\n",
        label, static_cast<long long>(size), static_cast<long long>(fileBytes), keys,
        f.durableMedian, f.durableP99, f.floorMedian, f.floorP99, f.durableMedian / f.floorMedian,
        f.durableP99 / f.floorP99, f.holdMedian, f.holdP99, f.holdMax, f.holdsOver16, f.floorMax,
        f.floorsOver16);
    const auto put = [label](const char* name, double value) {
        std::printf("typing.%s.%s %.4f\n", label, name, value);
    };
    put("keys", keys);
    put("file_bytes", double(fileBytes));
    put("durable_median_ms", f.durableMedian);
    put("durable_p99_ms", f.durableP99);
    put("floor_median_ms", f.floorMedian);
    put("floor_p99_ms", f.floorP99);
    put("ratio_median", f.durableMedian / f.floorMedian);
    put("ratio_p99", f.durableP99 / f.floorP99);
    put("hold_median_ms", f.holdMedian);
    put("hold_p99_ms", f.holdP99);
    put("hold_max_ms", f.holdMax);
    put("holds_over_16ms", f.holdsOver16);
    put("floor_max_ms", f.floorMax);
    put("floors_over_16ms", f.floorsOver16);
    // Where the typing path's time goes (medians): the key press until the store is called
    // (text box edit and layout, plus the note's plain text), the store's write, and the
    // whole plain text taken from the document alone.
    put("key_to_store_median_ms", percentile(toStore, 0.5));
    put("store_write_median_ms", percentile(inStore, 0.5));
    put("to_plain_text_median_ms", percentile(plainText, 0.5));
    std::printf("# %-13s breakdown (medians): key press to WriteSetting called %.3f ms (plain text "
                "alone %.3f ms), inside WriteSetting %.3f ms, floor %.3f ms\n",
        label, percentile(toStore, 0.5), percentile(plainText, 0.5), percentile(inStore, 0.5),
        f.floorMedian);
    std::fflush(stdout);
    QDir(folder).removeRecursively();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments();
    int keys = 1000;
    int keys1m = 1000;
    int keysBig = 100;
    QString base;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--keys"))
            keys = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--keys-1m"))
            keys1m = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--keys-big"))
            keysBig = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--folder"))
            base = arguments[i + 1];
    }
    // The store's folder in the user's configuration folder's file system, as in real use.
    QTemporaryDir temporary(QDir::homePath() + QStringLiteral("/.tackpad-bench-XXXXXX"));
    if (base.isEmpty())
        base = temporary.path();
    std::printf("# store and floor in %s\n", qPrintable(QDir(base).absolutePath()));
    if (!run(base, "1K", 1024, keys) || !run(base, "64K", 64 * 1024, keys)
        || !run(base, "1M", 1024 * 1024, keys1m))
        return 1;
    // The biggest notes: their cost per key and the longest hold of the interface.
    if (keysBig > 0
        && (!run(base, "4M", 4 * 1024 * 1024, keysBig)
            || !run(base, "10M", 10 * 1000 * 1000, keysBig)
            || !run(base, "4M-paragraph", 4 * 1024 * 1024, keysBig, true)
            || !run(base, "10M-paragraph", 10 * 1000 * 1000, keysBig, true)))
        return 1;
    return 0;
}
