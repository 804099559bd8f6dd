#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"

// Event ids come in families by bit: 0x100 application, 0x200 keyboard,
// 0x400 mouse, 0x800 timer, 0x1000 hot key, 0x2000 gadget, 0x4000 window,
// 0x8000 menu, 0x10000 stream, 0x20000 process. User ids have bit 31 set.
constexpr int32_t AppSuspend = 0x101;
constexpr int32_t AppResume = 0x102;
constexpr int32_t AppTerminate = 0x103;
constexpr int32_t AppOpenFile = 0x104;
constexpr int32_t AppIdle = 0x105;
// The system asks the program to lock (SystemWatchLock); data is a TLockReason.
constexpr int32_t SystemLockRequest = 0x106;
constexpr int32_t KeyDown = 0x201;
constexpr int32_t KeyUp = 0x202;
constexpr int32_t KeyChar = 0x203;
constexpr int32_t KeyRepeat = 0x204;
constexpr int32_t MouseDown = 0x401;
constexpr int32_t MouseUp = 0x402;
constexpr int32_t MouseMove = 0x403;
constexpr int32_t MouseWheel = 0x404;
constexpr int32_t MouseEnter = 0x405;
constexpr int32_t MouseLeave = 0x406;
constexpr int32_t TimerTick = 0x801;
constexpr int32_t HotkeyHit = 0x1001;
constexpr int32_t GadgetAction = 0x2001;
constexpr int32_t GadgetPaint = 0x2002;
constexpr int32_t GadgetSelect = 0x2003;
constexpr int32_t GadgetMenu = 0x2004;
constexpr int32_t GadgetOpen = 0x2005;
constexpr int32_t GadgetClose = 0x2006;
constexpr int32_t GadgetDone = 0x2007;
constexpr int32_t GadgetLostFocus = 0x2008;
constexpr int32_t GadgetShape = 0x2009;
// Registered by the gadget model's start-up, not by EventInit.
constexpr int32_t GadgetDrag = 0x200A;
constexpr int32_t GadgetDrop = 0x200B;
constexpr int32_t WindowMove = 0x4001;
constexpr int32_t WindowSize = 0x4002;
constexpr int32_t WindowClose = 0x4003;
constexpr int32_t WindowActivate = 0x4004;
constexpr int32_t WindowAccept = 0x4005;
constexpr int32_t MenuAction = 0x8001;
constexpr int32_t StreamEof = 0x10001;
constexpr int32_t StreamAvail = 0x10002;
constexpr int32_t ProcessExit = 0x20001;

// Something that happened, on its way from its raiser through the emit hook
// chain to the event queue. What data, mods, x, y and extra carry depends on id.
class TEvent : public TObject {
 public:
  int32_t id = 0;
  ObjectRef source;  // the raiser (a gadget for interface events), or none
  int32_t data = 0;
  int32_t mods = 0;
  int32_t x = 0;
  int32_t y = 0;
  ObjectRef extra;

  // Runs the event through the emit hook chain; the chain's result is ignored.
  void Emit();
  // "GadgetAction: data=1, mods=0, x=0, y=0, extra=\"\"" and the like.
  String ToString() const override;

  static Ref<TEvent> Create(int32_t id, const ObjectRef& source = nullptr, int32_t data = 0, int32_t mods = 0,
                            int32_t x = 0, int32_t y = 0, const ObjectRef& extra = nullptr);
  // The next user id: 0x80000001 first, then one more per call.
  static int32_t AllocUserId();
  // Records a description for id. A second registration of the same id is
  // kept but never found: lookups return the first.
  static void RegisterId(int32_t id, const String& description);
  // The first registered description of id, or the empty string.
  static String DescriptionForId(int32_t id);
};

// The hook chain every emitted event runs through; -1 before EventInit.
extern int32_t EventEmitHookId;

// Allocates EventEmitHookId and registers the built-in ids (all but
// GadgetDrag and GadgetDrop). Needs HookInit; later calls return at once.
void EventInit();
// The registry as one string: "}" then "<id>{<description>}" per registration.
const String& EventIdRegistry();

Ref<TEvent> EventNew(int32_t id, const ObjectRef& source = nullptr, int32_t data = 0, int32_t mods = 0, int32_t x = 0,
                     int32_t y = 0, const ObjectRef& extra = nullptr);
void EventEmit(const Ref<TEvent>& event);
// A new user id, registered under description unless that is empty.
int32_t EventAllocUserId(const String& description);
