#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"

// File > "Settings…": the lock time (minutes without input, 0 for never) and
// the clipboard time (1 to 30 seconds). OK checks both (a bad value keeps the
// window open with what it must be, nothing saved), writes quorvel.conf and
// puts them in force at once; Cancel or closing the window changes nothing.
void OpenSettingsWindow();

// Acts on an event of the settings window. True when the event was its own.
bool SettingsWindowHandle(int32_t id, const ObjectRef& source);

// Adds the note of a settings file that did not read (SettingsLoad) to what
// the main window's status bar says; nothing for an empty note.
void ShowSettingsNote(const String& note);
