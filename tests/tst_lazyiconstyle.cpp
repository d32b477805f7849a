// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lazyiconstyle.h"
#include "widgets/programicon.h"

#include <QCalendarWidget>
#include <QFile>
#include <QStyleFactory>
#include <QToolButton>
#include <QtTest>

namespace {

/// Fusion, counting how often it is asked for a standard icon.
class CountingStyle final : public QProxyStyle {
public:
    CountingStyle(int& count)
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
        , m_count(count)
    {
    }
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override
    {
        ++m_count;
        return QProxyStyle::standardIcon(which, option, widget);
    }

private:
    int& m_count;
};

bool imagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains("/imageformats/");
}

} // namespace

class TstLazyIconStyle : public QObject {
    Q_OBJECT
private slots:
    // First, while the process has read no image at all.
    void startUpImagesLoadNoImagePlugin();
    void iconIsLookedUpOnFirstUseOnly();
    void iconLooksLikeTheWrappedStylesOne();
    void iconOutlivingItsStyleIsEmpty();
};

void TstLazyIconStyle::startUpImagesLoadNoImagePlugin()
{
    if (!QFile::exists(QStringLiteral("/proc/self/maps")))
        QSKIP("no /proc/self/maps to look at");
    QVERIFY(!imagePluginLoaded());
    int lookUps = 0;
    QApplication::setStyle(new LazyIconStyle(new CountingStyle(lookUps)));

    const QPixmap pixmap = programPixmap(32);
    QCOMPARE(pixmap.size(), QSize(32, 32));
    const QIcon icon = programIcon();
    QCOMPARE(icon.availableSizes().size(), 6);
    QCOMPARE(icon.pixmap(16).size(), QSize(16, 16));
    QWidget window;
    QCalendarWidget calendar(&window);
    QCOMPARE(lookUps, 0);
    QVERIFY2(!imagePluginLoaded(), "an image plugin was loaded to read the built-in images");

    // Drawn once shown: the month arrows are looked up then.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    (void)window.grab();
    QVERIFY(lookUps > 0);
    auto* previous = calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth"));
    QVERIFY(previous);
    QVERIFY(!previous->icon().isNull());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void TstLazyIconStyle::iconIsLookedUpOnFirstUseOnly()
{
    int lookUps = 0;
    LazyIconStyle style(new CountingStyle(lookUps));
    const QIcon icon = style.standardIcon(QStyle::SP_ArrowLeft);
    const QIcon copy = icon;
    QCOMPARE(lookUps, 0);
    QVERIFY(!icon.pixmap(16).isNull());
    QCOMPARE(lookUps, 1);
    (void)icon.pixmap(32);
    (void)copy.actualSize(QSize(24, 24));
    QVERIFY(!copy.isNull());
    QCOMPARE(lookUps, 1);
}

void TstLazyIconStyle::iconLooksLikeTheWrappedStylesOne()
{
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    LazyIconStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    for (QStyle::StandardPixmap which :
        { QStyle::SP_ArrowLeft, QStyle::SP_ArrowRight, QStyle::SP_MessageBoxWarning }) {
        const QIcon lazy = style.standardIcon(which);
        const QIcon plain = fusion->standardIcon(which);
        QCOMPARE(lazy.isNull(), plain.isNull());
        QCOMPARE(lazy.name(), plain.name());
        for (int size : { 16, 32 }) {
            QCOMPARE(lazy.actualSize(QSize(size, size)), plain.actualSize(QSize(size, size)));
            QCOMPARE(lazy.pixmap(size).toImage(), plain.pixmap(size).toImage());
            QCOMPARE(lazy.pixmap(size, QIcon::Disabled).toImage(),
                plain.pixmap(size, QIcon::Disabled).toImage());
        }
    }
}

void TstLazyIconStyle::iconOutlivingItsStyleIsEmpty()
{
    QIcon icon;
    {
        LazyIconStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        icon = style.standardIcon(QStyle::SP_ArrowRight);
    }
    QVERIFY(icon.pixmap(16).isNull());
    QVERIFY(icon.isNull());
}

QTEST_MAIN(TstLazyIconStyle)
#include "tst_lazyiconstyle.moc"
