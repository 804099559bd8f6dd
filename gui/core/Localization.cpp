#include "gui/core/Localization.h"

#include <map>
#include <utility>

namespace {

int32_t mode = 0;
String language;
std::map<std::pair<String, String>, String> texts;  // (language, key) -> text
TLocalizationModeRoute modeRoute = nullptr;
TLocalizationLanguageRoute languageRoute = nullptr;

String IdentityLookup(const String& key) { return key; }
void NoDelocalize(const Ref<TGadget>&) {}

TGadgetLocalizeFunc localizeLookup = IdentityLookup;
TGadgetDelocalizeFunc delocalizeGadget = NoDelocalize;

}  // namespace

int32_t LocalizationMode() { return mode; }
String LocalizationLanguage() { return language; }

void SetLocalizationMode(int32_t newMode) { modeRoute ? modeRoute(newMode) : LocalizationStoreMode(newMode); }
void SetLocalizationLanguage(const String& newLanguage) {
  languageRoute ? languageRoute(newLanguage) : LocalizationStoreLanguage(newLanguage);
}

void LocalizationStoreMode(int32_t newMode) { mode = newMode; }
void LocalizationStoreLanguage(const String& newLanguage) { language = newLanguage; }

void LocalizationSetRoutes(TLocalizationModeRoute modeFn, TLocalizationLanguageRoute languageFn) {
  modeRoute = modeFn;
  languageRoute = languageFn;
}

void GadgetSetLocalization(TGadgetLocalizeFunc lookup, TGadgetDelocalizeFunc delocalize) {
  localizeLookup = lookup ? lookup : IdentityLookup;
  delocalizeGadget = delocalize ? delocalize : NoDelocalize;
}

String GadgetLocalizeText(const String& key) { return localizeLookup(key); }
void GadgetDelocalizeFreed(const Ref<TGadget>& gadget) { delocalizeGadget(gadget); }

void LocalizationAddText(const String& forLanguage, const String& key, const String& text) {
  texts[{forLanguage, key}] = text;
}

void LocalizationClearTexts() { texts.clear(); }

String LocalizeString(const String& key) {
  if (!(mode & LocalizationOn)) return key;
  auto found = texts.find({language, key});
  return found == texts.end() ? key : found->second;
}
