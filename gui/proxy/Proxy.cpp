#include "gui/proxy/Proxy.h"

#include "gui/core/Event.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "gui/core/Hook.h"
#include "system/SystemDriver.h"

namespace {
bool proxyStarted = false;
}

void ProxyInit() {
  if (proxyStarted) return;
  proxyStarted = true;
  // Each of these returns at once when it already ran; the order is the one the
  // front end depends on.
  HookInit();
  EventInit();
  SystemInit();
  GadgetInit();
  FrontEndInit();
}
