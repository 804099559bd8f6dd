#pragma once

#include "gui/core/Event.h"
#include "gui/core/Gadget.h"

// Web address of the program's maker: the records panel links to it and the
// Help menu's About item opens its page about Quorvel.
extern const char* const kMakerHost;

// Lets only digits (at most three of them) and backspace into the Length field.
int32_t LengthKeyFilter(const Ref<TEvent>& event, const ObjectRef& context);

// "115 bits, strong": a password's strength in whole bits and the word for
// it (StrengthWord).
String StrengthFigure(double bits);

// Puts all of a text area's text on the clipboard, which is cleared again
// after the clipboard time of the settings (and at exit) unless something
// else was copied meanwhile.
void CopyAll(const Ref<TGadget>& area);

// A text area that holds a secret (a password, notes, a one-time code): a
// selection in it never reaches the PRIMARY selection, and its copy keys
// (Ctrl+C, Ctrl+Insert; Ctrl+X, Shift+Delete cut) put the selection on the
// clipboard the way CopyAll does, cleared after the same time.
Ref<TGadget> MakeSecretArea(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style);

// Builds the main window with its menus and gadgets and fills the records
// combo box. Returns false when the window cannot be made.
bool BuildMainWindow();

// Waits for events and acts on them; never returns.
[[noreturn]] void RunMainLoop();
