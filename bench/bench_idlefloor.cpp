// SPDX-License-Identifier: GPL-3.0-or-later
// The idle floor: the least a Qt Widgets program with Tackpad's timers costs at rest on this
// machine. A hidden window, a tray icon and the settings window's eight timers (six checks of
// 100 ms, the clock of 300 ms and the credit line of 2000 ms, all coarse) with empty handlers;
// nothing else. bench/run measures it exactly as it measures the program, so the difference
// between the two is what Tackpad's own work costs per wake-up.
//
//   RESOURCE_NAME=tackpad bench_idlefloor     (the name lets bench_desktop find its tray icon)
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    QPixmap picture(22, 22);
    picture.fill(Qt::yellow);
    QSystemTrayIcon tray(QIcon(picture), &window);
    tray.show();
    for (const int interval : { 100, 100, 100, 100, 100, 100, 300, 2000 }) {
        auto* timer = new QTimer(&window);
        timer->setTimerType(Qt::CoarseTimer);
        timer->setInterval(interval);
        QObject::connect(timer, &QTimer::timeout, timer, [] {});
        timer->start();
    }
    return app.exec();
}
