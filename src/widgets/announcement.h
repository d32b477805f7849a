// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

/// Words a screen reader speaks when a window appears without the keyboard: a child of the window
/// with no size, which reads as a desktop notification does (Orca speaks one when it shows, by
/// its name and then its description, wherever the keyboard is). Nothing of it is seen.
class Announcement final : public QWidget {
    Q_OBJECT
public:
    /// name is what the reader says first; objectName that of the control.
    Announcement(const QString& objectName, const QString& name, QWidget* window);

    /// The words are spoken when the window next shows, once.
    void announce(const QString& words);
    /// Nothing is spoken at the window's next show.
    void withdraw();
};
