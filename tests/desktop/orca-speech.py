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
from orca import speech

if not hasattr(speech, "log"):
    # Orca 48 writes what it speaks to its debug trace only: log it on its way to the voice.
    def logged(speak, text_of):
        def logging_speak(*args, **kwargs):
            speech_log.info("SPEECH OUTPUT: '%s'", text_of(*args))
            return speak(*args, **kwargs)
        return logging_speak

    speech._speak = logged(speech._speak, lambda text, *rest: text)
    speech.speak_character = logged(speech.speak_character, lambda character, *rest: character)
    speech.speak_key_event = logged(speech.speak_key_event, lambda event, *rest: event.get_key_name())
    say_all = speech.say_all

    def logged_say_all(utterances, progress):
        def each():
            for context, acss in utterances:
                speech_log.info("SPEECH OUTPUT: '%s'", context.utterance)
                yield [context, acss]
        return say_all(each(), progress)
    speech.say_all = logged_say_all

from orca import settings_manager

if hasattr(settings_manager, "get_manager"):  # Orca 48 (Debian 13)
    settings = settings_manager.get_manager()
    settings.activate(None, {})
    sys.path.insert(0, settings.get_prefs_dir())
else:  # Orca 43 (Debian 12)
    settings = orca.getSettingsManager()
    settings.activate(None, {})
    sys.path.insert(0, settings.getPrefsDir())
sys.exit(orca.main())
