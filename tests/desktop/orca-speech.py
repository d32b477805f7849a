#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Orca in the test's session, writing each utterance it speaks to SPEECH-LOG, one a line:
#   12:00:01.123 SPEECH OUTPUT: 'Red note window'
# It starts Orca as /usr/bin/orca does, less its check for another Orca of the same user on the
# machine and its --replace, which kills every one of them: other sessions may run theirs.
#   orca-speech.py SPEECH-LOG
import logging
import sys

handler = logging.FileHandler(sys.argv[1])
handler.setFormatter(logging.Formatter("%(asctime)s.%(msecs)03d %(message)s", "%H:%M:%S"))
speech_log = logging.getLogger("speech")
speech_log.setLevel(logging.INFO)
speech_log.addHandler(handler)

import gi
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk
if Gdk.Display.get_default() is None:
    sys.exit("orca-speech: no display")

from orca import orca
settings = orca.getSettingsManager()
settings.activate(None, {})
sys.path.insert(0, settings.getPrefsDir())
sys.exit(orca.main())
