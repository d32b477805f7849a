// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Modal message boxes.
class MessageBox {
public:
    virtual ~MessageBox() = default;

    /// Shows text under caption with an OK button only and no icon; returns once it is closed.
    virtual void showMessage(const QString& caption, const QString& text) = 0;
    /// Asks a question with two answers, the second the default (also when the box is closed
    /// without an answer); true when the first was chosen.
    virtual bool ask(const QString& caption, const QString& text, const QString& firstAnswer,
        const QString& defaultAnswer)
        = 0;
};
