// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/messagebox.h"

class QtMessageBox final : public MessageBox {
public:
    void showMessage(const QString& caption, const QString& text) override;
    bool ask(const QString& caption, const QString& text, const QString& firstAnswer,
        const QString& defaultAnswer) override;
};
