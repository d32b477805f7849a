// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/portio.h"

#include <QByteArrayView>

#include <memory>

/// The speaker ports for a choice as TACKPAD_SPEAKER gives it: "auto" (also empty or unknown:
/// the kernel PC speaker where it can be written, else the emulated one), "audio" (emulated on
/// the audio output), "pcspkr" (the kernel device), "ports" (the real ports), "none". A choice
/// that cannot be had gives silent ports; never null.
std::unique_ptr<PortIo> createSpeakerPorts(QByteArrayView choice);

/// createSpeakerPorts() for the value of TACKPAD_SPEAKER.
std::unique_ptr<PortIo> createSpeakerPortsFromEnvironment();
