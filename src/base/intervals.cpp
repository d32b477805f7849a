// SPDX-License-Identifier: GPL-3.0-or-later
#include "intervals.h"

Intervals& intervals()
{
    static Intervals values;
    return values;
}
