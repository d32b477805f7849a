// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The base folder of per-user configuration under the XDG rules: $XDG_CONFIG_HOME when it is an
/// absolute path (a relative one is ignored), else $HOME/.config, with the home folder taken from
/// the user database when HOME is unset. Reads the environment on every call.
QString xdgConfigHome();
