#pragma once

#include <cstdint>

#include "runtime/String.h"

// The program's settings, kept in quorvel.conf beside the pair: one
// "name=value" line each, spaces around the name and the value ignored.
// Blank lines, comments ("#" first), lines without "=" and unknown names are
// kept byte for byte when the file is written back, so that a newer
// version's settings survive an older one. Every setting has a default,
// which holds while the file does not give it a valid value.

extern const char16_t* const kSettingsFileName;  // "quorvel.conf"
// A settings file is small; a larger one is not read (nor replaced).
constexpr uint64_t kSettingsFileCap = 64u << 10;

// Minutes without input on the display before the records lock: 0 (never)
// to 1440 (a day), default 5.
extern const char16_t* const kLockAfterMinutesSetting;  // "lock-after-minutes"
// Seconds a copied secret stays on the clipboard: 1 to 30, default 30.
extern const char16_t* const kClipboardSecondsSetting;  // "clipboard-seconds"

// The main window's generator choices as they were last used. Flags are 0
// (off, the default) or 1 (on); the classes are one flag each.
extern const char16_t* const kGeneratorLengthSetting;         // "generator-length": 0 to 999, default 20
extern const char16_t* const kGeneratorCaseSensitiveSetting;  // "generator-case-sensitive"
extern const char16_t* const kGeneratorUpperSetting;          // "generator-upper"
extern const char16_t* const kGeneratorLowerSetting;          // "generator-lower"
extern const char16_t* const kGeneratorDigitsSetting;         // "generator-digits"
extern const char16_t* const kGeneratorSymbolsSetting;        // "generator-symbols"
extern const char16_t* const kGeneratorNoLookAlikesSetting;   // "generator-no-look-alikes"
extern const char16_t* const kGeneratorWordsSetting;          // "generator-words"
extern const char16_t* const kGeneratorWordCountSetting;      // "generator-word-count": 1 to 99, default 7
// "generator-separator": one printable ASCII character, or "space" (the
// default) for a space, which the file could not keep around a value.
extern const char16_t* const kGeneratorSeparatorSetting;
extern const char* const kSpaceSeparator;  // "space"

// Reads the settings file at path (the working directory's quorvel.conf by
// default), every setting starting from its default. Never fails: a missing
// file gives the defaults; a file that is no regular file, is larger than
// kSettingsFileCap or cannot be read gives the defaults too, and an invalid
// value is ignored. Answers "" when everything read, otherwise one short
// note for the status bar (at most kSettingsNoteFits characters).
String SettingsLoad(const String& path = kSettingsFileName);
constexpr size_t kSettingsNoteFits = 95;

// The value in force, as written in the file (or the default); "" for a
// name that is no setting.
String SettingText(const String& name);
// "" when value is valid for the setting; otherwise a sentence that says
// what it must be (for a window's message).
String SettingProblem(const String& name, const String& value);
// Takes the value for the setting when it is valid; false, nothing changed,
// when it is not (or the name is no setting). Values set are written by the
// next SettingsSave.
bool SettingSet(const String& name, const String& value);
// Writes the settings set since the load into the file read last: the file
// is read again first, so that lines written by hand meanwhile stay, and
// replaced atomically, owner-only (0600). False, with why (a sentence) when
// given, when it could not be written; the file is then as it was.
bool SettingsSave(String* why = nullptr);

// A whole-number setting's value in force; 0 for any other name.
int32_t SettingNumber(const String& name);
int32_t LockAfterMinutes();
int32_t ClipboardSeconds();
