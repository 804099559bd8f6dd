#pragma once

#include <cstdint>

#include "gui/core/Event.h"
#include "runtime/Object.h"

constexpr int32_t EventQueueCapacity = 256;
// Priority of the queue's hook on the emit chain: hooks above it may swallow
// or replace an event before it is queued.
constexpr int32_t EventQueueHookPriority = -10000;

// Creates the ring, installs EventQueueHook on the emit chain and makes
// NullEvent the current event. Needs EventInit; later calls return at once.
void EventQueueInit();

// The emit chain's hook: queues every TEvent (coalescing WindowMove,
// WindowSize, TimerTick and GadgetAction) and passes it on unchanged. Data that
// is not an event is not queued and none is returned.
ObjectRef EventQueueHook(int32_t id, const ObjectRef& data, const ObjectRef& context);

// Stores event. With coalesce non-zero, a queued event with the same id and
// the same source takes over the new one's data, mods, x, y and extra instead
// and keeps its place. A full queue drops the new event silently.
void EventQueuePost(const Ref<TEvent>& event, int32_t coalesce);
// The oldest queued event without taking it (pumping system events once when
// the queue is empty), or none.
Ref<TEvent> EventQueuePeek();
// Takes the oldest event (pumping system events once when the queue is empty)
// and returns its id; returns 0 and resets the current event to NullEvent when
// there is none.
int32_t EventQueuePoll();
// Takes the oldest event, waiting on the system driver while there is none,
// and returns its id. A wait reached from inside a system pump (a callback run
// by SystemPollEvents or SystemWaitEvents) cannot wait, since pumps do not
// nest: with the queue empty it returns 0 and resets the current event to
// NullEvent, as EventQueuePoll does when it finds nothing.
int32_t EventQueueWait();
// Number of events waiting in the ring.
int32_t EventQueueLength();

// An event with every field at its construction value; the current event
// before the first take and after a poll that found nothing.
extern Ref<TEvent> NullEvent;
// The event most recently taken.
extern Ref<TEvent> CurrentEvent;

int32_t CurrentEventId();
int32_t CurrentEventData();
int32_t CurrentEventMods();
int32_t CurrentEventX();
int32_t CurrentEventY();
ObjectRef CurrentEventExtra();
ObjectRef CurrentEventSource();
// extra when it is a string, otherwise the empty string.
String CurrentEventText();
// The runtime's handle for the source object; 0 when there is none.
int32_t CurrentEventSourceHandle();
