// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The help text of the settings window's instruction box, lines separated by CR LF.
QString instructionText();
/// The credit line that lblMe shows in turn with the web address.
QString creditText();
