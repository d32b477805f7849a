// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/notecolour.h"

#include <QObject>

#include <memory>

class QAction;
class QMenu;

/// The tray's popup menu MnuMenu: show and hide each note, open the settings window, the maker's
/// web page, and Close. It says what was chosen; the program does it.
class TrayMenu final : public QObject {
    Q_OBJECT
public:
    explicit TrayMenu(QObject* parent = nullptr);
    ~TrayMenu() override;
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    void Mnuzovo_Click();

    // The menu tree; its top item is never shown as a menu bar.
    QMenu* MnuMenu = nullptr;
    QMenu *MnuBlue = nullptr, *MnuGreen = nullptr, *MnuRed = nullptr;
    QAction *MnuShowBlue = nullptr, *MnuHideBlue = nullptr;
    QAction *MnuShowGreen = nullptr, *MnuHideGreen = nullptr;
    QAction *MnuShowRed = nullptr, *MnuHideRed = nullptr;
    QAction* MnuSetting = nullptr;
    QAction* MnuEnd = nullptr;
    QAction* Mnuzovo = nullptr;

signals:
    void showNoteRequested(NoteColour colour);
    void hideNoteRequested(NoteColour colour);
    /// Setting was chosen.
    void settingsRequested();
    /// Close was chosen.
    void closeRequested();
    /// The maker's web page was chosen.
    void webPageRequested();

private:
    std::unique_ptr<QMenu> m_menu; // a top-level popup: no widget owns it
};
