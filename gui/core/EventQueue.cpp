#include "gui/core/EventQueue.h"

#include <array>

#include "gui/core/Hook.h"
#include "gui/core/TestSeams.h"
#include "runtime/HandleTable.h"
#include "system/SystemDriver.h"

Ref<TEvent> NullEvent;
Ref<TEvent> CurrentEvent;

namespace {
bool queueReady = false;
std::array<Ref<TEvent>, EventQueueCapacity> ring;
// Only ever incremented; wrapping is part of the design: the slot is the low
// eight bits and the fill level the wrapped difference.
uint32_t putCount = 0;
uint32_t getCount = 0;

constexpr uint32_t kSlotMask = EventQueueCapacity - 1;

uint32_t Filled() { return putCount - getCount; }

Ref<TEvent>& Slot(uint32_t counter) { return ring[counter & kSlotMask]; }

bool Coalescible(int32_t id) { return id == WindowMove || id == WindowSize || id == TimerTick || id == GadgetAction; }

int32_t Take() {
  Ref<TEvent>& slot = Slot(getCount);
  CurrentEvent = std::move(slot);
  slot.reset();
  ++getCount;
  return CurrentEvent->id;
}

// Before EventQueueInit the accessors read a null current event as NullEvent.
const TEvent& Current() {
  static const TEvent empty;
  return CurrentEvent ? *CurrentEvent : empty;
}
}  // namespace

void EventQueueInit() {
  if (queueReady) return;
  queueReady = true;
  EventInit();
  for (auto& slot : ring) slot.reset();
  putCount = getCount = 0;
  HookAdd(EventEmitHookId, EventQueueHook, nullptr, EventQueueHookPriority);
  NullEvent = New<TEvent>();
  CurrentEvent = NullEvent;
}

ObjectRef EventQueueHook(int32_t, const ObjectRef& data, const ObjectRef&) {
  auto event = std::dynamic_pointer_cast<TEvent>(data);
  if (!event) return nullptr;
  EventQueuePost(event, Coalescible(event->id) ? 1 : 0);
  return data;
}

void EventQueuePost(const Ref<TEvent>& event, int32_t coalesce) {
  if (!event) return;
  if (coalesce != 0) {
    for (uint32_t at = getCount; at != putCount; ++at) {
      TEvent& queued = *Slot(at);
      if (queued.id == event->id && queued.source == event->source) {
        queued.data = event->data;
        queued.mods = event->mods;
        queued.x = event->x;
        queued.y = event->y;
        queued.extra = event->extra;
        return;
      }
    }
  }
  if (Filled() >= static_cast<uint32_t>(EventQueueCapacity)) return;
  Slot(putCount) = event;
  ++putCount;
}

Ref<TEvent> EventQueuePeek() {
  if (Filled() == 0) SystemPollEvents();
  if (Filled() == 0) return nullptr;
  return Slot(getCount);
}

int32_t EventQueuePoll() {
  if (Filled() == 0) SystemPollEvents();
  if (Filled() == 0) {
    CurrentEvent = NullEvent;
    return 0;
  }
  return Take();
}

int32_t EventQueueWait() {
  while (Filled() == 0) {
    // Inside a pump nothing can pump, so nothing new would ever arrive: answer
    // as a poll that found nothing rather than spin.
    if (SystemPumping()) {
      CurrentEvent = NullEvent;
      return 0;
    }
    SystemWaitEvents();
  }
  return Take();
}

int32_t EventQueueLength() { return static_cast<int32_t>(Filled()); }

int32_t CurrentEventId() { return Current().id; }
int32_t CurrentEventData() { return Current().data; }
int32_t CurrentEventMods() { return Current().mods; }
int32_t CurrentEventX() { return Current().x; }
int32_t CurrentEventY() { return Current().y; }
ObjectRef CurrentEventExtra() { return Current().extra; }
ObjectRef CurrentEventSource() { return Current().source; }
String CurrentEventText() { return StringOfObject(Current().extra); }
int32_t CurrentEventSourceHandle() { return HandleFromObject(Current().source); }

void EventQueueResetCounters(uint32_t value) {
  for (auto& slot : ring) slot.reset();
  putCount = getCount = value;
}
