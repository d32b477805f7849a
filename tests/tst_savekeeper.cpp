// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes.h"
#include "shortintervals.h"

#include "app/savekeeper.h"

#include <QSignalSpy>
#include <QtTest>

class TstSaveKeeper : public QObject {
    Q_OBJECT
private slots:
    void aFailedSaveIsTriedAgainUntilItWorks();
    void aWriteThatWorksEndsTheRetries();
    void theQuestionBeforeTheEnd();
    void oneQuestionAtATime();
    void aSessionThatMayNotAskEndsAfterOneTry();
};

void TstSaveKeeper::aFailedSaveIsTriedAgainUntilItWorks()
{
    ShortIntervals shortIntervals;
    RecordingStore store;
    FakeMessageBox messages;
    SaveKeeper keeper(store, messages);
    QSignalSpy told(&keeper, &SaveKeeper::failureToTell);
    QSignalSpy recovered(&keeper, &SaveKeeper::recovered);
    store.failWrites = true;
    QVERIFY(
        !keeper.WriteSetting(QStringLiteral("Note"), QStringLiteral("Red"), QStringLiteral("a")));
    QVERIFY(!keeper.RemoveSetting(QStringLiteral("Always"), QStringLiteral("Red")));
    // Told once, with the reason, however many writes fail.
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.first().first().toString(), QStringLiteral("No space left on device"));
    QTRY_VERIFY(store.calls.count(QStringLiteral("Retry")) >= 2);
    QCOMPARE(recovered.size(), 0);
    store.failWrites = false;
    QVERIFY(recovered.wait());
    QCOMPARE(store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("a"));
    // Once saved, nothing is tried again; a new failure is news again.
    const qsizetype tries = store.calls.size();
    QTest::qWait(3 * intervals().saveRetryMs);
    QCOMPARE(store.calls.size(), tries);
    store.failWrites = true;
    keeper.WriteSetting(QStringLiteral("Note"), QStringLiteral("Red"), QStringLiteral("b"));
    QCOMPARE(told.size(), 2);
}

void TstSaveKeeper::aWriteThatWorksEndsTheRetries()
{
    ShortIntervals shortIntervals;
    RecordingStore store;
    FakeMessageBox messages;
    SaveKeeper keeper(store, messages);
    QSignalSpy recovered(&keeper, &SaveKeeper::recovered);
    QVERIFY(
        keeper.WriteSetting(QStringLiteral("Hour"), QStringLiteral("Red"), QStringLiteral("9")));
    QCOMPARE(recovered.size(), 0); // nothing had failed
    store.failWrites = true;
    keeper.WriteSetting(QStringLiteral("Note"), QStringLiteral("Red"), QStringLiteral("a"));
    store.failWrites = false;
    keeper.WriteSetting(QStringLiteral("Hour"), QStringLiteral("Red"), QStringLiteral("10"));
    QCOMPARE(recovered.size(), 1);
    QCOMPARE(store.entries.value(QStringLiteral("Note/Red")), QStringLiteral("a"));
    QTest::qWait(3 * intervals().saveRetryMs);
    QVERIFY(!store.calls.contains(QStringLiteral("Retry")));
}

void TstSaveKeeper::theQuestionBeforeTheEnd()
{
    ShortIntervals shortIntervals;
    RecordingStore store;
    FakeMessageBox messages;
    SaveKeeper keeper(store, messages);
    QVERIFY(keeper.readyToEnd()); // saved: nothing to ask
    QVERIFY(messages.asked.isEmpty());

    store.failWrites = true;
    keeper.WriteSetting(QStringLiteral("Note"), QStringLiteral("Green"), QStringLiteral("g"));
    messages.answers = { true };
    QVERIFY(keeper.readyToEnd()); // "Close anyway"
    QCOMPARE(messages.asked.size(), 1);
    QVERIFY(messages.asked.first().second.contains(QLatin1String("the Green note's text")));

    QSignalSpy recovered(&keeper, &SaveKeeper::recovered);
    QVERIFY(!keeper.readyToEnd()); // "Keep running", the default: tried again until it works
    store.failWrites = false;
    QVERIFY(recovered.wait());
}

// A box that is still open when another end is asked for, as a real modal one is.
class BoxAskingAgain final : public MessageBox {
public:
    void showMessage(const QString&, const QString&) override { }
    bool ask(const QString&, const QString&, const QString&, const QString&) override
    {
        ++asked;
        if (whileOpen)
            whileOpen();
        return false;
    }
    std::function<void()> whileOpen;
    int asked = 0;
};

void TstSaveKeeper::oneQuestionAtATime()
{
    RecordingStore store;
    BoxAskingAgain box;
    SaveKeeper keeper(store, box);
    store.failWrites = true;
    bool nested = true;
    box.whileOpen = [&] { nested = keeper.readyToEnd(); };
    QVERIFY(!keeper.readyToEnd());
    QVERIFY(!nested);
    QCOMPARE(box.asked, 1);
}

void TstSaveKeeper::aSessionThatMayNotAskEndsAfterOneTry()
{
    RecordingStore store;
    FakeMessageBox messages;
    SaveKeeper keeper(store, messages);
    store.failWrites = true;
    QVERIFY(keeper.sessionEnding(false));
    QCOMPARE(store.calls, QStringList { QStringLiteral("Retry") });
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(!keeper.sessionEnding(true)); // may ask: the default answer keeps it running
    QCOMPARE(messages.asked.size(), 1);
}

QTEST_MAIN(TstSaveKeeper)
#include "tst_savekeeper.moc"
