#pragma once

#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"

class TGadget;

// The localisation service behind the gadget front end. It turns a key into the
// text of the current language. Its mode starts at 0: while LocalizationOn is
// clear every key comes back unchanged, which is how this system runs.

constexpr int32_t LocalizationOn = 1;        // keys are looked up in the language's texts
constexpr int32_t LocalizationOverride = 2;  // gadgets the front end fills itself are localised too

int32_t LocalizationMode();
String LocalizationLanguage();

// Change the mode or the language. Once the front end has started these go
// through the GUI driver, which re-localises the gadgets it keeps keys for.
void SetLocalizationMode(int32_t mode);
void SetLocalizationLanguage(const String& language);

// Store the mode or the language without anything else; the driver calls these.
void LocalizationStoreMode(int32_t mode);
void LocalizationStoreLanguage(const String& language);

using TLocalizationModeRoute = void (*)(int32_t mode);
using TLocalizationLanguageRoute = void (*)(const String& language);
// Routes SetLocalizationMode and SetLocalizationLanguage; null stores directly.
void LocalizationSetRoutes(TLocalizationModeRoute mode, TLocalizationLanguageRoute language);

// The text of key in language. Without a text for the key the key itself is
// the text.
void LocalizationAddText(const String& language, const String& key, const String& text);
void LocalizationClearTexts();

// key's text in the current language while LocalizationOn is set; key otherwise.
String LocalizeString(const String& key);

// The localisation hooks of the gadget model: the string lookup for items
// flagged GadgetItemLocalized, and the removal of a freed gadget from the
// driver's localisation map. The front end installs both at start-up; until
// then (and for null) the lookup returns its key and the removal does nothing.
using TGadgetLocalizeFunc = String (*)(const String& key);
using TGadgetDelocalizeFunc = void (*)(const Ref<TGadget>& gadget);
void GadgetSetLocalization(TGadgetLocalizeFunc lookup, TGadgetDelocalizeFunc delocalize);
String GadgetLocalizeText(const String& key);
// Runs the removal hook; the gadget model calls it for every gadget it frees.
void GadgetDelocalizeFreed(const Ref<TGadget>& gadget);
