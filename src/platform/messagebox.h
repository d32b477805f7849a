// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

/// A modal message box with an OK button only and no icon.
class MessageBox {
public:
    virtual ~MessageBox() = default;

    /// Shows text under caption and returns once the user has closed the box.
    virtual void showMessage(const QString& caption, const QString& text) = 0;
};

class QtMessageBox final : public MessageBox {
public:
    void showMessage(const QString& caption, const QString& text) override;
};
