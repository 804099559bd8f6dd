#include "gui/proxy/THyperlinkGadget.h"

#include <algorithm>

#include "gui/core/FrontEnd.h"
#include "gui/core/Hook.h"
#include "gui/proxy/Proxy.h"
#include "system/SystemDriver.h"

namespace {

constexpr int32_t LinkColorIndex = 4;
constexpr int32_t LinkFontKind = 1;
constexpr int32_t UnderlinedFontStyle = 4;
constexpr int32_t HookPriority = -1;
constexpr int32_t PointerDefault = 0;
constexpr int32_t PointerHand = 12;
// The label must report mouse events for the hover and the press to arrive.
constexpr int32_t MouseSensitivity = 1;

}  // namespace

Ref<TList> THyperlinkGadget::hyperlinkList;
Ref<TGuiFont> THyperlinkGadget::linkFont;
Ref<TGuiFont> THyperlinkGadget::linkHoverFont;

THyperlinkGadget::THyperlinkGadget() {
  if (!hyperlinkList) Initialize();
  // The success flag is not consulted. Starting from the default blue keeps it
  // when no driver is installed or the driver leaves the outputs alone.
  uint8_t r = 0, g = 0, b = 255;
  GuiLookupColor(LinkColorIndex, r, g, b);
  colors[0] = Rgb{r, g, b};
}

void THyperlinkGadget::Initialize() {
  if (hyperlinkList) return;
  ProxyInit();
  hyperlinkList = New<TList>();
  HookAdd(EventEmitHookId, eventHandler, nullptr, HookPriority);
  linkFont = GuiLibraryFont(LinkFontKind, 0, 0);
  linkHoverFont = GuiLibraryFont(LinkFontKind, 0, UnderlinedFontStyle);
}

Ref<THyperlinkGadget> THyperlinkGadget::Create(const String& url, int32_t x, int32_t y, int32_t w, int32_t h,
                                               const Ref<TGadget>& group, int32_t style, const String& customText) {
  const String text = customText.empty() ? url : customText;
  if ((style & 3) == 3) style &= ~3;
  Ref<TGadget> label = MakeLabel(text, x, y, w, h, group, style & 31);
  if (!label) return nullptr;
  GadgetSetSensitivity(label, MouseSensitivity);
  GadgetSetFont(label, linkFont);
  if (text != url) GadgetSetTooltip(label, url);
  SetProxy(label);
  TProxyGadget::SetTextColor(colors[0][0], colors[0][1], colors[0][2]);
  hyperlinkstyle = style;
  extra = MakeStringObject(url);
  // A second Create on the same gadget rewraps it but must not list it twice,
  // or CleanUp would leave it listed and alive.
  auto self = std::static_pointer_cast<THyperlinkGadget>(Self());
  auto& listed = hyperlinkList->elements;
  if (std::find(listed.begin(), listed.end(), self) == listed.end()) listed.push_back(self);
  return self;
}

ObjectRef THyperlinkGadget::EventHook(const Ref<TEvent>& event) {
  switch (event->id) {
    case MouseEnter:
      TProxyGadget::SetTextColor(colors[1][0], colors[1][1], colors[1][2]);
      GuiSetPointer(PointerHand);
      TProxyGadget::SetFont(linkHoverFont);
      break;
    case MouseLeave:
      TProxyGadget::SetTextColor(colors[0][0], colors[0][1], colors[0][2]);
      GuiSetPointer(PointerDefault);
      TProxyGadget::SetFont(linkFont);
      break;
    case MouseDown:
      // One press opens the link once: a press at exactly the position of the
      // last one that opened it is taken as a repeat of that press.
      if (event->x != lastclick[0] || event->y != lastclick[1]) {
        lastclick = {event->x, event->y};
        SystemOpenURL(StringOfObject(extra));
      }
      break;
    default:
      break;
  }
  return nullptr;
}

ObjectRef THyperlinkGadget::eventHandler(int32_t, const ObjectRef& data, const ObjectRef&) {
  auto event = std::dynamic_pointer_cast<TEvent>(data);
  if (!event || !event->source || !hyperlinkList) return data;
  for (const auto& element : hyperlinkList->elements) {
    if (element != event->source) continue;
    if (auto gadget = std::dynamic_pointer_cast<THyperlinkGadget>(element)) return gadget->EventHook(event);
  }
  return data;
}

int32_t THyperlinkGadget::SetFont(const Ref<TGuiFont>& font) {
  linkFont = font;
  linkHoverFont = font;
  return TProxyGadget::SetFont(font);
}

int32_t THyperlinkGadget::SetColor(int32_t r, int32_t g, int32_t b) {
  colors[1] = Rgb{r, g, b};
  return 0;
}

int32_t THyperlinkGadget::SetTextColor(int32_t r, int32_t g, int32_t b) {
  colors[0] = Rgb{r, g, b};
  return TProxyGadget::SetTextColor(r, g, b);
}

int32_t THyperlinkGadget::CleanUp() {
  // The list may hold the last reference to this gadget.
  auto keepAlive = weak_from_this().lock();
  if (hyperlinkList) {
    auto& listed = hyperlinkList->elements;
    listed.erase(std::remove(listed.begin(), listed.end(), keepAlive), listed.end());
  }
  return TProxyGadget::CleanUp();
}

Ref<THyperlinkGadget> CreateHyperlinkGadget(const String& url, int32_t x, int32_t y, int32_t w, int32_t h,
                                            const Ref<TGadget>& group, int32_t style, const String& customText) {
  return New<THyperlinkGadget>()->Create(url, x, y, w, h, group, style, customText);
}
