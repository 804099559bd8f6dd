#pragma once

#include <cstdint>
#include <vector>

#include "gui/core/Event.h"
#include "gui/core/Gadget.h"

// How the back end and proxy gadgets raise gadget events. The source is always
// reported as the outermost proxy that wraps the raising gadget.

// The end of the gadget's chain of proxies (its own source links); none stays none.
Ref<TGadget> GadgetEventSource(const Ref<TGadget>& gadget);

// Emits a new event at once.
void GadgetPostEvent(int32_t id, const Ref<TGadget>& source, int32_t data = 0, int32_t mods = 0, int32_t x = 0,
                     int32_t y = 0, const ObjectRef& extra = nullptr);
// Builds the same event but keeps it in PendingGuiEvents for GadgetFlushEvents.
void GadgetQueueEvent(int32_t id, const Ref<TGadget>& source, int32_t data = 0, int32_t mods = 0, int32_t x = 0,
                      int32_t y = 0, const ObjectRef& extra = nullptr);
// Emits every pending event in order. Events queued while the flush runs wait
// for the next flush.
void GadgetFlushEvents();

// The gadget a proxy stands for: follows proxies inward; none stays none.
Ref<TGadget> GadgetUnproxy(const Ref<TGadget>& group);

// Events whose emission has been deferred, oldest first.
extern std::vector<Ref<TEvent>> PendingGuiEvents;

// Drag-and-drop bookkeeping: one slot per mouse button (1 to 3) for the gadget a
// drag started in. CleanUp clears every slot that holds the freed gadget.
constexpr int32_t GadgetDragSlotCount = 3;
Ref<TGadget> GadgetDragSource(int32_t button);
void GadgetSetDragSource(int32_t button, const Ref<TGadget>& gadget);
