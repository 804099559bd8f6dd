#include "gui/core/HotKey.h"

namespace {

Ref<THotKey> hotKeys;  // newest first

}  // namespace

Ref<THotKey> HotKeySet(int32_t key, int32_t mods, const Ref<TEvent>& event, int32_t owner) {
  Ref<TEvent> toEmit = event ? event : EventNew(HotkeyHit, nullptr, key, mods, 0, 0, nullptr);
  Ref<THotKey> entry = hotKeys;
  while (entry && !(entry->key == key && entry->mods == mods && entry->owner == owner)) entry = entry->succ;
  if (!entry) {
    entry = New<THotKey>();
    entry->key = key;
    entry->mods = mods;
    entry->owner = owner;
    entry->succ = hotKeys;
    hotKeys = entry;
  }
  entry->event = toEmit;
  return entry;
}

void HotKeyRemove(const Ref<THotKey>& hotKey) {
  if (!hotKey) return;
  if (hotKeys == hotKey) {
    hotKeys = hotKey->succ;
    hotKey->succ = nullptr;
    return;
  }
  for (Ref<THotKey> entry = hotKeys; entry; entry = entry->succ) {
    if (entry->succ == hotKey) {
      entry->succ = hotKey->succ;
      hotKey->succ = nullptr;
      return;
    }
  }
}

Ref<TEvent> HotKeyFind(int32_t key, int32_t mods, int32_t owner) {
  for (Ref<THotKey> entry = hotKeys; entry; entry = entry->succ) {
    if (entry->key == key && entry->mods == mods && (entry->owner == 0 || entry->owner == owner)) {
      return entry->event;
    }
  }
  return nullptr;
}
