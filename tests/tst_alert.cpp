// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

class Tstalert : public QObject {
    Q_OBJECT
private slots:
    void notBuiltYet() { QSKIP("not built yet"); }
};

QTEST_GUILESS_MAIN(Tstalert)
#include "tst_alert.moc"
