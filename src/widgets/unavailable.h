// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

/// While the control is unavailable, a person who moves by keys still finds it in the Tab order
/// (a stand-in takes its place there) and a screen reader hears it as unavailable, why, and what
/// makes it available; once it is available, the control itself takes its place again.
void explainWhenUnavailable(QWidget* control, const QString& why);
