#pragma once

#include <cstdint>

#include "gui/core/Gadget.h"
#include "runtime/Object.h"

// The window that changes one record: its description, and its password
// replaced by the generator's password or by one typed or pasted (hidden).
// An empty password field keeps the password. OK changes the record, saves
// at once like Add and wipes the old password; every password taken from a
// field is wiped there and in every copy.

// Called after a change was applied, with the record's index before the save
// (a save that merged changes made elsewhere may have moved it).
using TChangeDone = void (*)(int32_t record);

// Opens the window for a readable record. generatedArea holds the
// generator's password, if any: the window then offers it.
void OpenChangeWindow(int32_t record, const Ref<TGadget>& generatedArea, TChangeDone done);

// Closes the window without applying anything; its fields are wiped.
void CloseChangeWindow();

// Acts on an event of the change window. True when the event was its own.
bool ChangeWindowHandle(int32_t id, const ObjectRef& source);
