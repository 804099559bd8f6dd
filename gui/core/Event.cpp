#include "gui/core/Event.h"

#include "gui/core/Hook.h"

int32_t EventEmitHookId = -1;

namespace {
bool eventReady = false;
uint32_t lastUserId = 0x80000000u;
String registry = S("}");

struct BuiltinId {
  int32_t id;
  const char* description;
};

// In registration order; GadgetDrag and GadgetDrop belong to the gadget model.
constexpr BuiltinId builtinIds[] = {
    {AppSuspend, "AppSuspend"},
    {AppResume, "AppResume"},
    {AppTerminate, "AppTerminate"},
    {AppOpenFile, "AppOpenFile"},
    {AppIdle, "AppIdle"},
    {SystemLockRequest, "SystemLockRequest"},
    {KeyDown, "KeyDown"},
    {KeyUp, "KeyUp"},
    {KeyChar, "KeyChar"},
    {KeyRepeat, "KeyRepeat"},
    {MouseDown, "MouseDown"},
    {MouseUp, "MouseUp"},
    {MouseMove, "MouseMove"},
    {MouseWheel, "MouseWheel"},
    {MouseEnter, "MouseEnter"},
    {MouseLeave, "MouseLeave"},
    {TimerTick, "TimerTick"},
    {HotkeyHit, "HotkeyHit"},
    {GadgetAction, "GadgetAction"},
    {GadgetPaint, "GadgetPaint"},
    {GadgetSelect, "GadgetSelect"},
    {GadgetMenu, "GadgetMenu"},
    {GadgetOpen, "GadgetOpen"},
    {GadgetClose, "GadgetClose"},
    {GadgetDone, "GadgetDone"},
    {GadgetLostFocus, "GadgetLostFocus"},
    {GadgetShape, "GadgetShape"},
    {WindowMove, "WindowMove"},
    {WindowSize, "WindowSize"},
    {WindowClose, "WindowClose"},
    {WindowActivate, "WindowActivate"},
    {WindowAccept, "WindowAccept"},
    {MenuAction, "MenuAction"},
    {StreamEof, "StreamEof"},
    {StreamAvail, "StreamAvail"},
    {ProcessExit, "ProcessExit"},
};
}  // namespace

void TEvent::Emit() {
  // Keep the event alive for the whole run, whoever holds it.
  auto self = std::static_pointer_cast<TEvent>(shared_from_this());
  HookRun(EventEmitHookId, self);
}

String TEvent::ToString() const {
  String description = DescriptionForId(id);
  if (description.empty()) {
    uint32_t raw = static_cast<uint32_t>(id);
    if (raw & 0x80000000u)
      description = S("UserEvent") + IntToString(raw - 0x80000000u);
    else
      description = S("Unknown Event, id=") + IntToString(id);
  }
  return description + S(": data=") + IntToString(data) + S(", mods=") + IntToString(mods) + S(", x=") +
         IntToString(x) + S(", y=") + IntToString(y) + S(", extra=\"") + StringOfObject(extra) + S("\"");
}

Ref<TEvent> TEvent::Create(int32_t id, const ObjectRef& source, int32_t data, int32_t mods, int32_t x, int32_t y,
                           const ObjectRef& extra) {
  auto event = New<TEvent>();
  event->id = id;
  event->source = source;
  event->data = data;
  event->mods = mods;
  event->x = x;
  event->y = y;
  event->extra = extra;
  return event;
}

int32_t TEvent::AllocUserId() { return static_cast<int32_t>(++lastUserId); }

void TEvent::RegisterId(int32_t id, const String& description) {
  registry += IntToString(id) + S("{") + description + S("}");
}

String TEvent::DescriptionForId(int32_t id) {
  String key = S("}") + IntToString(id) + S("{");
  size_t at = registry.find(key);
  if (at == String::npos) return String();
  size_t start = at + key.size();
  size_t end = registry.find(u'}', start);
  if (end == String::npos) return String();
  return registry.substr(start, end - start);
}

void EventInit() {
  if (eventReady) return;
  eventReady = true;
  HookInit();
  EventEmitHookId = HookAllocId();
  for (const auto& builtin : builtinIds) TEvent::RegisterId(builtin.id, S(builtin.description));
}

const String& EventIdRegistry() { return registry; }

Ref<TEvent> EventNew(int32_t id, const ObjectRef& source, int32_t data, int32_t mods, int32_t x, int32_t y,
                     const ObjectRef& extra) {
  return TEvent::Create(id, source, data, mods, x, y, extra);
}

void EventEmit(const Ref<TEvent>& event) {
  if (event) event->Emit();
}

int32_t EventAllocUserId(const String& description) {
  int32_t id = TEvent::AllocUserId();
  if (!description.empty()) TEvent::RegisterId(id, description);
  return id;
}
