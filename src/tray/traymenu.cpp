// SPDX-License-Identifier: GPL-3.0-or-later
#include "traymenu.h"

#include <QAction>
#include <QMenu>

TrayMenu::TrayMenu(QObject* parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>(QStringLiteral("Menu")))
{
    MnuMenu = m_menu.get();
    MnuMenu->setObjectName(QStringLiteral("MnuMenu"));
    MnuMenu->setAccessibleName(QStringLiteral("Tackpad menu"));
    MnuMenu->menuAction()->setVisible(false);
    MnuMenu->setWindowRole(QStringLiteral("MnuMenu"));
    auto submenu = [this](const char* name, const char* caption, const char* show, const char* hide,
                       QAction*& showAction, QAction*& hideAction, const QString& accessibleName) {
        auto* m = new QMenu(QString::fromLatin1(caption), MnuMenu);
        m->setObjectName(QString::fromLatin1(name));
        m->setAccessibleName(accessibleName);
        MnuMenu->addMenu(m);
        showAction = m->addAction(QStringLiteral("Show"));
        showAction->setObjectName(QString::fromLatin1(show));
        hideAction = m->addAction(QStringLiteral("Hide"));
        hideAction->setObjectName(QString::fromLatin1(hide));
        return m;
    };
    MnuBlue = submenu("MnuBlue", "&Blue Note", "MnuShowBlue", "MnuHideBlue", MnuShowBlue,
        MnuHideBlue, QStringLiteral("Blue note"));
    MnuGreen = submenu("MnuGreen", "&Green Note", "MnuShowGreen", "MnuHideGreen", MnuShowGreen,
        MnuHideGreen, QStringLiteral("Green note"));
    MnuRed = submenu("MnuRed", "&Red Note", "MnuShowRed", "MnuHideRed", MnuShowRed, MnuHideRed,
        QStringLiteral("Red note"));
    MnuSetting = MnuMenu->addAction(QStringLiteral("&Setting"));
    MnuSetting->setObjectName(QStringLiteral("MnuSetting"));
    MnuEnd = MnuMenu->addAction(QStringLiteral("&Close"));
    MnuEnd->setObjectName(QStringLiteral("MnuEnd"));
    Mnuzovo = MnuMenu->addAction(QStringLiteral("ZOVO"));
    Mnuzovo->setObjectName(QStringLiteral("Mnuzovo"));

    const struct {
        QAction* show;
        QAction* hide;
        NoteColour colour;
    } noteItems[] = {
        { MnuShowBlue, MnuHideBlue, NoteColour::Blue },
        { MnuShowGreen, MnuHideGreen, NoteColour::Green },
        { MnuShowRed, MnuHideRed, NoteColour::Red },
    };
    for (const auto& item : noteItems) {
        const NoteColour c = item.colour;
        connect(item.show, &QAction::triggered, this, [this, c] { emit showNoteRequested(c); });
        connect(item.hide, &QAction::triggered, this, [this, c] { emit hideNoteRequested(c); });
    }
    connect(MnuSetting, &QAction::triggered, this, &TrayMenu::settingsRequested);
    connect(MnuEnd, &QAction::triggered, this, &TrayMenu::closeRequested);
    connect(Mnuzovo, &QAction::triggered, this, &TrayMenu::Mnuzovo_Click);
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::Mnuzovo_Click() { emit webPageRequested(); }
