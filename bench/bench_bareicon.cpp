// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt Widgets program does to show a tray icon: bench/run starts it beside Tackpad,
// in turns within one desktop session, and compares their times to a docked icon.
//
//   RESOURCE_NAME=tackpad bench_bareicon     (the name lets bench_desktop find its tray icon)
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPixmap picture(22, 22);
    picture.fill(Qt::yellow);
    QSystemTrayIcon tray { QIcon(picture) };
    tray.show();
    return app.exec();
}
