#pragma once

#include <array>
#include <cstdint>

#include "gui/core/DataSource.h"
#include "gui/core/Event.h"
#include "gui/proxy/TProxyGadget.h"

// A text label that behaves as a web link: drawn in the link colour, turning to
// the hover colour with an underlined face and a hand pointer while the mouse is
// over it, and opening its URL (kept in extra) when pressed. The label's own
// events never reach the application: the class-wide hook swallows every event
// whose source is a hyperlink gadget and acts on it here.
class THyperlinkGadget : public TProxyGadget {
 public:
  // Wraps the placeholder until Create; starts the class-wide state with the
  // first gadget and takes the driver's link colour as the normal text colour.
  THyperlinkGadget();

  // Makes the label (text = customText, or url when that is empty) and wraps
  // it. Both low bits of style set are both cleared (3 becomes 0, 7 becomes 4):
  // never the separator frame. The label gets the bits below 32, hyperlinkstyle
  // all. Answers this gadget, or none when no label could be made; the gadget
  // then stays unwrapped and unlisted.
  virtual Ref<THyperlinkGadget> Create(const String& url, int32_t x, int32_t y, int32_t w, int32_t h,
                                       const Ref<TGadget>& group, int32_t style, const String& customText);
  // Acts on one event of this gadget and always answers none, which swallows it.
  virtual ObjectRef EventHook(const Ref<TEvent>& event);

  // Creates the list, the hook and the two fonts; runs once.
  static void Initialize();
  // The emit hook: hands an event whose source is a listed hyperlink gadget to
  // that gadget's EventHook, and passes everything else on unchanged.
  static ObjectRef eventHandler(int32_t id, const ObjectRef& data, const ObjectRef& context);

  // The font is class-wide: every hyperlink then uses it, hovered or not.
  int32_t SetFont(const Ref<TGuiFont>& font) override;
  // Sets the hover colour, seen at the next MouseEnter.
  int32_t SetColor(int32_t r, int32_t g, int32_t b) override;
  // Sets the normal colour and applies it at once.
  int32_t SetTextColor(int32_t r, int32_t g, int32_t b) override;
  // Unlists the gadget, then releases the label.
  int32_t CleanUp() override;

  using Rgb = std::array<int32_t, 3>;

  int32_t hyperlinkstyle = 0;
  // [0] the normal text colour, [1] the hover text colour.
  std::array<Rgb, 2> colors{Rgb{0, 0, 255}, Rgb{255, 0, 0}};
  // Where the last press that opened the link was.
  std::array<int32_t, 2> lastclick{-1, -1};

  // Class-wide state, made by Initialize with the first hyperlink gadget.
  static Ref<TList> hyperlinkList;
  static Ref<TGuiFont> linkFont;
  static Ref<TGuiFont> linkHoverFont;
};

// A new hyperlink gadget made with Create, or none.
Ref<THyperlinkGadget> CreateHyperlinkGadget(const String& url, int32_t x, int32_t y, int32_t w, int32_t h,
                                            const Ref<TGadget>& group, int32_t style, const String& customText);
