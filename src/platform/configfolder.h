// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The user's configuration folder as QStandardPaths (and so QSettings) gives it, read from the
/// environment at each call; where Qt 6.4 departs from the XDG rules, the rules win: a relative
/// $XDG_CONFIG_HOME is ignored, and without $HOME the home folder comes from the user database.
QString userConfigFolder();
