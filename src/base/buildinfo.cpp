// SPDX-License-Identifier: GPL-3.0-or-later
#include "buildinfo.h"

namespace BuildInfo {

QString version() { return QStringLiteral(TACKPAD_VERSION); }

QString webAddress() { return QStringLiteral(TACKPAD_WEB_ADDRESS); }

QString fixedProgramPath() { return QStringLiteral(TACKPAD_PROGRAM_PATH); }

} // namespace BuildInfo
