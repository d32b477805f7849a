// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class MainForm;
class Notes;
class SettingsController;

/// The tray's popup menu: show and hide each note, open the settings window, the maker's web
/// page, and Close.
class TrayMenu final : public QObject {
    Q_OBJECT
public:
    TrayMenu(MainForm& form, Notes& notes, SettingsController& settings, QObject* parent = nullptr);
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    void Mnuzovo_Click();

signals:
    /// Setting was chosen.
    void settingsRequested();
    /// Close was chosen.
    void closeRequested();

private:
    MainForm& m_form;
    Notes& m_notes;
    SettingsController& m_settings;
};
