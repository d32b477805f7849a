// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// Builds the real platform objects, runs start-up and the event loop.
int runTackpad(int argc, char** argv);
