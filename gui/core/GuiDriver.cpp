#include "gui/core/GuiDriver.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/core/Localization.h"
#include "runtime/Errors.h"

Ref<TVuzIDODriver> GuiDriver;

int32_t TGuiFont::CharWidth(int32_t) { throw TNullMethodException("TGuiFont.CharWidth"); }

String TVuzIDODriver::UserName() { throw TNullMethodException("TVuzIDODriver.UserName"); }
String TVuzIDODriver::ComputerName() { throw TNullMethodException("TVuzIDODriver.ComputerName"); }
Ref<TGuiFont> TVuzIDODriver::LoadFont(const String&, int32_t, int32_t) {
  throw TNullMethodException("TVuzIDODriver.LoadFont");
}
Ref<TGadget> TVuzIDODriver::CreateGadget(int32_t, const String&, int32_t, int32_t, int32_t, int32_t,
                                         const Ref<TGadget>&, int32_t) {
  throw TNullMethodException("TVuzIDODriver.CreateGadget");
}
Ref<TGadget> TVuzIDODriver::ActiveGadget() { throw TNullMethodException("TVuzIDODriver.ActiveGadget"); }
int32_t TVuzIDODriver::RequestColor(int32_t, int32_t, int32_t) {
  throw TNullMethodException("TVuzIDODriver.RequestColor");
}
Ref<TGuiFont> TVuzIDODriver::RequestFont(const Ref<TGuiFont>&) {
  throw TNullMethodException("TVuzIDODriver.RequestFont");
}
int32_t TVuzIDODriver::SetPointer(int32_t) { throw TNullMethodException("TVuzIDODriver.SetPointer"); }
Ref<TIconStrip> TVuzIDODriver::LoadIconStrip(const ObjectRef&) {
  throw TNullMethodException("TVuzIDODriver.LoadIconStrip");
}

int32_t TVuzIDODriver::ClearClipboard() { return 0; }
int32_t TVuzIDODriver::GrabKeyboard(const Ref<TGadget>&) { return 0; }

int32_t TVuzIDODriver::LookupColor(int32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) {
  static constexpr uint8_t defaults[5][3] = {{240, 240, 240}, {255, 255, 255}, {0, 0, 0}, {50, 150, 255}, {0, 0, 255}};
  if (index >= 0 && index < 5) {
    red = defaults[index][0];
    green = defaults[index][1];
    blue = defaults[index][2];
  }
  return 0;
}

Ref<TGuiFont> TVuzIDODriver::LibraryFont(int32_t kind, double size, int32_t style) {
  if (!(size > 0)) size = 12.0;
  const char* fontName = "FreeSans";
  switch (kind) {
    case 2:
      fontName = "Lucida";
      break;
    case 4:
      fontName = "FreeSerif";
      break;
    case 5:
      fontName = "TSCu_Comic";
      break;
    default:
      break;
  }
  return LoadFontWithDouble(S(fontName), size, style);
}

Ref<TGuiFont> TVuzIDODriver::LoadFontWithDouble(const String& fontName, double size, int32_t style) {
  // Truncate toward zero, held inside the integer range (NaN counts as 0).
  double rounded = std::trunc(size + 0.5);
  if (std::isnan(rounded)) return LoadFont(fontName, 0, style);
  return LoadFont(fontName, static_cast<int32_t>(std::clamp<double>(rounded, INT32_MIN, INT32_MAX)), style);
}

int32_t TVuzIDODriver::SetLocalizationMode(int32_t mode) {
  int32_t before = LocalizationMode();
  LocalizationStoreMode(mode);
  if ((before ^ mode) & LocalizationOn) ApplyLanguage();
  return 0;
}

int32_t TVuzIDODriver::SetLanguage(const String& language) {
  LocalizationStoreLanguage(language);
  ApplyLanguage();
  return 0;
}

int32_t TVuzIDODriver::ApplyLanguage() {
  // A gadget's SetText may end up changing the map; walk a snapshot.
  std::vector<Ref<TGadget>> gadgets;
  gadgets.reserve(_mapLocalized.size());
  for (auto& [key, entry] : _mapLocalized) gadgets.push_back(entry.gadget);
  for (auto& gadget : gadgets) {
    if (_mapLocalized.count(gadget.get())) ApplyLocalization(gadget);
  }
  return 0;
}

int32_t TVuzIDODriver::SetGadgetLocalization(const Ref<TGadget>& gadget, const String& textKey, const String& tipKey) {
  if (!gadget) return 0;
  _mapLocalized[gadget.get()] = TLocalizedKeys{gadget, textKey, tipKey};
  ApplyLocalization(gadget);
  return 1;
}

int32_t TVuzIDODriver::ApplyLocalization(const Ref<TGadget>& gadget) {
  if (!gadget || gadget->Class() == GadgetClassCanvas) return 0;
  auto found = _mapLocalized.find(gadget.get());
  if (found == _mapLocalized.end()) return 0;
  String textKey = found->second.textKey;
  String tipKey = found->second.tipKey;
  gadget->SetText(LocalizeString(textKey));
  gadget->SetTooltip(LocalizeString(tipKey));
  for (int32_t i = 0; i < gadget->ItemCount(); ++i) {
    if (gadget->ItemFlags(i) & GadgetItemLocalized) LocalizeGadgetItem(gadget, i);
  }
  return 1;
}

int32_t TVuzIDODriver::LocalizeGadgetItem(const Ref<TGadget>& gadget, int32_t index) {
  if (!gadget || index < 0 || index >= gadget->ItemCount()) return 0;
  gadget->SetListItem(index, LocalizeString(gadget->ItemText(index)), LocalizeString(gadget->ItemTip(index)),
                      gadget->ItemIcon(index), gadget->ItemExtra(index));
  return 1;
}

int32_t TVuzIDODriver::GadgetLocalized(const Ref<TGadget>& gadget) {
  return gadget && _mapLocalized.count(gadget.get()) ? 1 : 0;
}

int32_t TVuzIDODriver::DelocalizeGadget(const Ref<TGadget>& gadget) {
  if (!gadget) return 0;
  return _mapLocalized.erase(gadget.get()) ? 1 : 0;
}
