#include "gui/core/GadgetEvents.h"

#include <algorithm>
#include <array>

std::vector<Ref<TEvent>> PendingGuiEvents;

namespace {

std::array<Ref<TGadget>, GadgetDragSlotCount> dragSlots;

bool Seen(const std::vector<const TGadget*>& visited, const TGadget* gadget) {
  return std::find(visited.begin(), visited.end(), gadget) != visited.end();
}

}  // namespace

Ref<TGadget> GadgetEventSource(const Ref<TGadget>& gadget) {
  Ref<TGadget> outer = gadget;
  // A loop of source links would be a wiring mistake; stop at its first repeat
  // rather than spin.
  std::vector<const TGadget*> visited;
  while (outer) {
    visited.push_back(outer.get());
    Ref<TGadget> next = outer->source.lock();
    if (!next || Seen(visited, next.get())) break;
    outer = next;
  }
  return outer;
}

void GadgetPostEvent(int32_t id, const Ref<TGadget>& source, int32_t data, int32_t mods, int32_t x, int32_t y,
                     const ObjectRef& extra) {
  EventEmit(EventNew(id, GadgetEventSource(source), data, mods, x, y, extra));
}

void GadgetQueueEvent(int32_t id, const Ref<TGadget>& source, int32_t data, int32_t mods, int32_t x, int32_t y,
                      const ObjectRef& extra) {
  PendingGuiEvents.push_back(EventNew(id, GadgetEventSource(source), data, mods, x, y, extra));
}

void GadgetFlushEvents() {
  std::vector<Ref<TEvent>> batch;
  batch.swap(PendingGuiEvents);
  for (auto& event : batch) EventEmit(event);
}

Ref<TGadget> GadgetUnproxy(const Ref<TGadget>& group) {
  Ref<TGadget> inner = group;
  std::vector<const TGadget*> visited;
  while (inner && inner->IsProxy()) {
    if (Seen(visited, inner.get())) break;
    visited.push_back(inner.get());
    inner = inner->ProxyTarget();
  }
  return inner;
}

Ref<TGadget> GadgetDragSource(int32_t button) {
  return button >= 1 && button <= GadgetDragSlotCount ? dragSlots[button - 1] : nullptr;
}

void GadgetSetDragSource(int32_t button, const Ref<TGadget>& gadget) {
  if (button >= 1 && button <= GadgetDragSlotCount) dragSlots[button - 1] = gadget;
}
