// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// What the build fixes when it is configured.
namespace BuildInfo {

/// The program's version, as --version shows it.
QString version();
/// The maker's web page, opened by the credit line and the menu.
QString webAddress();
/// The installed program that the autostart entry names (not the build tree's).
QString fixedProgramPath();

} // namespace BuildInfo
