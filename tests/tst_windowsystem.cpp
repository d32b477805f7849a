// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windowsystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class TstWindowSystem : public QObject {
    Q_OBJECT
private slots:
    void windowsComeBackOntoTheScreen_data();
    void windowsComeBackOntoTheScreen();
    void theTrayIconsWindowStaysInTheTray();
};

void TstWindowSystem::windowsComeBackOntoTheScreen_data()
{
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    QTest::addColumn<QRect>("before");
    QTest::addColumn<QPoint>("after");
    QTest::newRow("wholly on the screen: stays") << QRect(room.topLeft() + QPoint(30, 40),
        QSize(114, 126)) << room.topLeft() + QPoint(30, 40);
    QTest::newRow("on the edge: stays") << QRect(room.right() - 113, room.bottom() - 125, 114, 126)
                                        << QPoint(room.right() - 113, room.bottom() - 125);
    QTest::newRow("far right and below: into the corner") << QRect(room.right() + 900,
        room.bottom() + 500, 114, 126) << QPoint(room.right() + 1 - 114, room.bottom() + 1 - 126);
    QTest::newRow("partly off the left: just onto it")
        << QRect(room.left() - 50, room.top() + 10, 114, 126) << room.topLeft() + QPoint(0, 10);
    QTest::newRow("bigger than the screen: its top-left part on it") << QRect(room.left() - 70,
        room.top() - 20, room.width() + 200, room.height() + 100) << room.topLeft();
}

void TstWindowSystem::windowsComeBackOntoTheScreen()
{
    QFETCH(QRect, before);
    QFETCH(QPoint, after);
    QWidget w(nullptr, Qt::FramelessWindowHint);
    w.setGeometry(before);
    WindowSystem::keepOnScreen(&w);
    QCOMPARE(w.pos(), after);
    QCOMPARE(w.size(), before.size());
}

// The tray icon's window, embedded in the tray, seems off the screens to Qt; moving it pushed
// the icon out of sight inside the tray whenever a panel changed the room left on the screen.
void TstWindowSystem::theTrayIconsWindowStaysInTheTray()
{
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint away = room.bottomRight() + QPoint(500, 300);
    QWidget note(nullptr, Qt::FramelessWindowHint);
    QWidget embedded(nullptr, Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    for (QWidget* w : { &note, &embedded }) {
        w->setGeometry(QRect(away, QSize(24, 24)));
        w->show();
    }
    WindowSystem::keepWindowsOnScreen();
    QCOMPARE(note.pos(), room.bottomRight() - QPoint(23, 23));
    QCOMPARE(embedded.pos(), away);
}

QTEST_MAIN(TstWindowSystem)
#include "tst_windowsystem.moc"
