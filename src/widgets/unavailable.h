// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

/// While the control is unavailable, a screen reader hears why and what makes it available (its
/// description); once it is available, nothing more than its name, role and state.
void explainWhenUnavailable(QWidget* control, const QString& why);
