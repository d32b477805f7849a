// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

/// Keeps a shape that only decorates (an outline, a column marker) from screen readers: it reads
/// as nothing there to see, so that flat review passes over it. Call before the widget is named.
void markDecorative(QWidget* widget);
