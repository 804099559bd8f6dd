#pragma once

#include <cstdint>

#include "gui/core/Event.h"
#include "runtime/Object.h"

// One entry of the hot-key table: the event to emit when key with exactly the
// modifiers mods is pressed. owner 0 matches any owner.
class THotKey : public TObject {
 public:
  Ref<THotKey> succ;
  int32_t key = 0;
  int32_t mods = 0;
  Ref<TEvent> event;
  int32_t owner = 0;
};

// Sets the event for (key, mods, owner), making the entry if there is none. With
// no event a HotkeyHit event carrying key and mods is made. Returns the entry.
Ref<THotKey> HotKeySet(int32_t key, int32_t mods, const Ref<TEvent>& event = nullptr, int32_t owner = 0);
// Takes the entry out of the table; nothing happens for an entry not in it.
void HotKeyRemove(const Ref<THotKey>& hotKey);
// The event of the newest entry for key and mods whose owner is 0 or owner; none
// when there is no such entry.
Ref<TEvent> HotKeyFind(int32_t key, int32_t mods, int32_t owner = 0);
