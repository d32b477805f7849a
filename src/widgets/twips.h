// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// Window definitions are kept in twips, as they were laid out: 15 twips make one pixel at
// 96 dots per inch. Qt scales the pixels for HiDPI screens.
constexpr int twipsToPixels(int twips)
{
    return (twips * 2 + 15) / 30; // nearest pixel
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(
        twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
