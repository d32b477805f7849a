// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

/// The application's style with its standard icons looked up on first use. The three hidden
/// calendars each ask for their month arrows when they are built; the look-up parses the icon
/// theme's index and loads every image plugin to read the fallback images, a cost that start-up
/// need not pay for a calendar that may never be opened.
class LazyIconStyle final : public QProxyStyle {
public:
    /// Wraps the given style (owned from then on), or the desktop's default one.
    explicit LazyIconStyle(QStyle* base = nullptr);

    /// An icon whose engine asks the wrapped style for the real one when it is first drawn or
    /// measured. The option and widget are not kept; the real icon is the style's general one.
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
};
