// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

class Tstinisettingsstore : public QObject {
    Q_OBJECT
private slots:
    void notBuiltYet() { QSKIP("not built yet"); }
};

QTEST_GUILESS_MAIN(Tstinisettingsstore)
#include "tst_inisettingsstore.moc"
