#pragma once

#include "gui/core/Event.h"
#include "gui/core/Gadget.h"

// Web address of the program's maker: the records panel links to it and the
// Help menu's About item opens its page about Quorvel.
extern const char* const kMakerHost;

// Lets only digits (at most three of them) and backspace into the Length field.
int32_t LengthKeyFilter(const Ref<TEvent>& event, const ObjectRef& context);

// Puts all of a text area's text on the clipboard, which is cleared again
// 30 s later (and at exit) unless something else was copied meanwhile.
void CopyAll(const Ref<TGadget>& area);

// Builds the main window with its menus and gadgets and fills the records
// combo box. Returns false when the window cannot be made.
bool BuildMainWindow();

// Waits for events and acts on them; never returns.
[[noreturn]] void RunMainLoop();
