#pragma once

#include <cstdint>
#include <map>

#include "gui/core/Gadget.h"
#include "runtime/Object.h"
#include "runtime/String.h"

// A font loaded by the driver.
class TGuiFont : public TObject {
 public:
  // Width of one character in pixels; the driver's font class implements it.
  virtual int32_t CharWidth(int32_t character);

  String name;
  String path;
  int32_t style = 0;
  int32_t size = 0;
  int32_t handle = 0;
};

// The GUI driver: makes gadgets of a class, loads fonts and icon strips, runs the
// colour and font dialogs and sets the pointer. The back end derives its driver
// from this class and installs it in GuiDriver. The first nine operations have
// no base behaviour and raise TNullMethodException here.
class TVuzIDODriver : public TObject {
 public:
  TVuzIDODriver() = default;

  virtual String UserName();
  virtual String ComputerName();
  virtual Ref<TGuiFont> LoadFont(const String& fontName, int32_t size, int32_t style);
  // A new gadget of gadgetClass, attached to group, or none for a class the
  // driver cannot make.
  virtual Ref<TGadget> CreateGadget(int32_t gadgetClass, const String& text, int32_t x, int32_t y, int32_t w, int32_t h,
                                    const Ref<TGadget>& group, int32_t style);
  virtual Ref<TGadget> ActiveGadget();
  // The picked colour as 0xRRGGBB, 0 when the dialog was cancelled.
  virtual int32_t RequestColor(int32_t r, int32_t g, int32_t b);
  virtual Ref<TGuiFont> RequestFont(const Ref<TGuiFont>& font);
  virtual int32_t SetPointer(int32_t shape);
  virtual Ref<TIconStrip> LoadIconStrip(const ObjectRef& source);

  // The default colour of system colour index 0 to 4; other indices leave the
  // outputs alone. Returns 0.
  virtual int32_t LookupColor(int32_t index, uint8_t& red, uint8_t& green, uint8_t& blue);
  // A font of one of the library's kinds (2 Lucida, 3 FreeSans, 4 FreeSerif,
  // 5 TSCu_Comic, anything else FreeSans); a size of 0 or less means 12.
  virtual Ref<TGuiFont> LibraryFont(int32_t kind, double size, int32_t style);
  // LoadFont with size + 0.5 truncated toward zero (2.5 gives 3, -2.7 gives -2),
  // clamped to the 32-bit range; NaN gives 0.
  virtual Ref<TGuiFont> LoadFontWithDouble(const String& fontName, double size, int32_t style);
  virtual int32_t SetLocalizationMode(int32_t mode);
  virtual int32_t SetLanguage(const String& language);
  // Re-localises every gadget in the localisation map.
  virtual int32_t ApplyLanguage();
  // Records the text and tooltip keys of gadget and localises it now.
  virtual int32_t SetGadgetLocalization(const Ref<TGadget>& gadget, const String& textKey, const String& tipKey);
  virtual int32_t ApplyLocalization(const Ref<TGadget>& gadget);
  // Re-sends item index of gadget with its localised text and tip.
  virtual int32_t LocalizeGadgetItem(const Ref<TGadget>& gadget, int32_t index);
  virtual int32_t GadgetLocalized(const Ref<TGadget>& gadget);
  virtual int32_t DelocalizeGadget(const Ref<TGadget>& gadget);
  // Empties the desktop clipboard if it still holds what this program put
  // there, and wipes the driver's own copy of it. The base has no clipboard.
  virtual int32_t ClearClipboard();
  // While window is shown, every key goes to this program alone; none lets go
  // of the grab. 1 when the grab holds now. The base grabs nothing and says 0.
  virtual int32_t GrabKeyboard(const Ref<TGadget>& window);

  // The localisation keys recorded for one gadget: its text and its tooltip.
  struct TLocalizedKeys {
    Ref<TGadget> gadget;
    String textKey;
    String tipKey;
  };
  std::map<const TGadget*, TLocalizedKeys> _mapLocalized;
};

// The one active GUI driver; none until the back end installs its own.
extern Ref<TVuzIDODriver> GuiDriver;
