// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

/// The program icon (a yellow disc, a magenta rim, a red N) at one of the sizes built in.
QPixmap programPixmap(int size);
/// The program icon at every size built in up to 64 pixels.
QIcon programIcon();
