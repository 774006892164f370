// The window's language. Every text of the window, its menus, dialogs,
// message boxes and the debug window is written in Japanese, the machine's
// own language, and goes through Qt's translation; the English translation
// (desktop/translations/quillon_en.ts, compiled when the program is built)
// is part of the program. The language is chosen before the window is
// built, so a change in the settings takes effect at the next start.
#pragma once

#include <string>

// "en" puts the English translation in force, anything else the Japanese
// texts. Returns whether English is in force (false also when the
// translation cannot be loaded). Needs the application object.
bool UseLanguage(const std::string& language);
bool EnglishInUse();
