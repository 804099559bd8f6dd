#include "app/settings/Settings.h"

#include <iterator>
#include <string>
#include <vector>

#include "runtime/AtomicFile.h"
#include "runtime/Stream.h"

const char16_t* const kSettingsFileName = u"quorvel.conf";
const char16_t* const kLockAfterMinutesSetting = u"lock-after-minutes";
const char16_t* const kClipboardSecondsSetting = u"clipboard-seconds";
const char16_t* const kGeneratorLengthSetting = u"generator-length";
const char16_t* const kGeneratorCaseSensitiveSetting = u"generator-case-sensitive";
const char16_t* const kGeneratorUpperSetting = u"generator-upper";
const char16_t* const kGeneratorLowerSetting = u"generator-lower";
const char16_t* const kGeneratorDigitsSetting = u"generator-digits";
const char16_t* const kGeneratorSymbolsSetting = u"generator-symbols";
const char16_t* const kGeneratorNoLookAlikesSetting = u"generator-no-look-alikes";
const char16_t* const kGeneratorWordsSetting = u"generator-words";
const char16_t* const kGeneratorWordCountSetting = u"generator-word-count";
const char16_t* const kGeneratorSeparatorSetting = u"generator-separator";
const char* const kSpaceSeparator = "space";

namespace {
struct TSettingRule;
// Whether a value (its bytes, spaces around it already dropped) suits a setting.
using TSettingCheck = bool (*)(const std::string& value, const TSettingRule& rule);

// A setting the program knows: its name, default and check. A setting of
// another kind (a flag, a character, a set of classes) comes with a check of
// its own.
struct TSettingRule {
  const char16_t* name;
  const char* fallback;
  TSettingCheck check;
  int32_t low, high;    // the range of a whole number
  const char* problem;  // what a valid value is, short enough for a window's line
};

// Digits only, no sign: at most nine of them, so that the value fits before
// its range is looked at.
bool IsWholeNumberInRange(const std::string& value, const TSettingRule& rule) {
  if (value.empty() || value.size() > 9) return false;
  int64_t number = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return number >= rule.low && number <= rule.high;
}

// The file drops the spaces around a value, so a space is written by its
// name; any other printable ASCII character stands for itself.
bool IsSeparator(const std::string& value, const TSettingRule&) {
  return value == kSpaceSeparator || (value.size() == 1 && value[0] > 0x20 && value[0] < 0x7F);
}

// A flag is a whole number from 0 (off) to 1 (on).
const TSettingRule kRules[] = {
    {kLockAfterMinutesSetting, "5", IsWholeNumberInRange, 0, 1440, "Lock time: whole minutes, 0 (never) to 1440."},
    {kClipboardSecondsSetting, "30", IsWholeNumberInRange, 1, 30, "Clipboard time: whole seconds, 1 to 30."},
    {kGeneratorLengthSetting, "20", IsWholeNumberInRange, 0, 999, "Length: 0 to 999 characters."},
    {kGeneratorCaseSensitiveSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorUpperSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorLowerSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorDigitsSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorSymbolsSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorNoLookAlikesSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorWordsSetting, "0", IsWholeNumberInRange, 0, 1, "0 (off) or 1 (on)."},
    {kGeneratorWordCountSetting, "7", IsWholeNumberInRange, 1, 99, "Words: 1 to 99."},
    {kGeneratorSeparatorSetting, kSpaceSeparator, IsSeparator, 0, 0, "Separator: one printable character."},
};
constexpr size_t kRuleCount = std::size(kRules);

struct TSettingsState {
  std::string path = "quorvel.conf";
  std::string values[kRuleCount];
  bool set[kRuleCount] = {};

  TSettingsState() {
    for (size_t i = 0; i < kRuleCount; ++i) values[i] = kRules[i].fallback;
  }
};
TSettingsState state;

int RuleNamed(const String& name) {
  for (size_t i = 0; i < kRuleCount; ++i)
    if (name == kRules[i].name) return static_cast<int>(i);
  return -1;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The setting a line of the file gives, with its value; -1 for a blank line,
// a comment, a line without "=" or a name the program does not know.
int RuleOfLine(std::string line, std::string& value) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return -1;
  const std::string name = Trimmed(line.substr(0, equals));
  if (name.empty() || name[0] == '#') return -1;
  const int rule = RuleNamed(WidenString(name));
  if (rule >= 0) value = Trimmed(line.substr(equals + 1));
  return rule;
}

// The file's lines, each with the LF that ends it (the last may have none).
// False when something stands at the path but is refused; a missing file has
// no lines.
bool ReadLines(const std::string& path, std::vector<std::string>& lines, TOpenRefusal& why) {
  lines.clear();
  std::string bytes;
  if (!ReadRegularFile(WidenString(path), kSettingsFileCap, bytes, &why)) return why == TOpenRefusal::Missing;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = bytes.find('\n', start);
    const size_t next = end == std::string::npos ? bytes.size() : end + 1;
    lines.push_back(bytes.substr(start, next - start));
    start = next;
  }
  return true;
}

const char* RefusalText(TOpenRefusal why) {
  switch (why) {
    case TOpenRefusal::NotRegular:
      return "quorvel.conf is not a regular file";
    case TOpenRefusal::TooLarge:
      return "quorvel.conf is larger than 64 KiB";
    default:
      return "quorvel.conf cannot be read";
  }
}

// The note for the settings whose values were ignored, short enough for the
// status bar: their names while they fit, else how many they are.
String InvalidNote(const std::vector<int>& invalid) {
  if (invalid.empty()) return String();
  std::string names;
  for (int rule : invalid) names += (names.empty() ? "" : ", ") + NarrowString(kRules[rule].name);
  std::string note =
      "quorvel.conf: " + names +
      (invalid.size() == 1 ? " is not valid; its default is used." : " are not valid; their defaults are used.");
  if (note.size() > kSettingsNoteFits)
    note = "quorvel.conf: " + std::to_string(invalid.size()) + " values are not valid; their defaults are used.";
  return WidenString(note);
}

// The file's lines with every setting set in this run in force: its lines
// take the new value (keeping their CR, if any, and LF), and a setting the
// file lacks is added at the end. Every other line stays byte for byte.
std::string MergedContent(const std::vector<std::string>& lines) {
  std::string out;
  bool present[kRuleCount] = {};
  for (const std::string& line : lines) {
    std::string value;
    const int rule = RuleOfLine(line, value);
    if (rule < 0 || !state.set[rule]) {
      out += line;
      continue;
    }
    present[rule] = true;
    const bool lf = line.back() == '\n';
    const bool cr = line.size() > (lf ? 1u : 0u) && line[line.size() - (lf ? 2 : 1)] == '\r';
    out += NarrowString(kRules[rule].name) + "=" + state.values[rule] + (cr ? "\r" : "") + (lf ? "\n" : "");
  }
  for (size_t i = 0; i < kRuleCount; ++i) {
    if (!state.set[i] || present[i]) continue;
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += NarrowString(kRules[i].name) + "=" + state.values[i] + "\n";
  }
  return out;
}

bool Refuse(String* why, const std::string& text) {
  if (why) *why = WidenString(text);
  return false;
}
}  // namespace

String SettingsLoad(const String& path) {
  state = TSettingsState();
  state.path = NarrowString(path);
  std::vector<std::string> lines;
  TOpenRefusal why = TOpenRefusal::None;
  if (!ReadLines(state.path, lines, why)) return WidenString(std::string(RefusalText(why)) + "; defaults are used.");
  std::vector<int> invalid;
  for (const std::string& line : lines) {
    std::string value;
    const int rule = RuleOfLine(line, value);
    if (rule < 0) continue;
    if (kRules[rule].check(value, kRules[rule])) {
      state.values[rule] = value;
    } else {
      bool listed = false;
      for (int seen : invalid) listed = listed || seen == rule;
      if (!listed) invalid.push_back(rule);
    }
  }
  return InvalidNote(invalid);
}

String SettingText(const String& name) {
  const int rule = RuleNamed(name);
  return rule < 0 ? String() : WidenString(state.values[rule]);
}

String SettingProblem(const String& name, const String& value) {
  const int rule = RuleNamed(name);
  if (rule < 0) return S("There is no such setting.");
  // Only bytes reach the file: a wider character is no valid value.
  for (char16_t c : value)
    if (c > 0xFF) return S(kRules[rule].problem);
  return kRules[rule].check(Trimmed(NarrowString(value)), kRules[rule]) ? String() : S(kRules[rule].problem);
}

bool SettingSet(const String& name, const String& value) {
  if (!SettingProblem(name, value).empty()) return false;
  const int rule = RuleNamed(name);
  state.values[rule] = Trimmed(NarrowString(value));
  state.set[rule] = true;
  return true;
}

bool SettingsSave(String* why) {
  // Another program that replaces the file between our read and our rename
  // makes the commit fail; the file is then read again and merged again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const TFileStamp stamp = FileStampOf(state.path);
    std::vector<std::string> lines;
    TOpenRefusal refusal = TOpenRefusal::None;
    // What cannot be read is not replaced: its lines would be lost.
    if (!ReadLines(state.path, lines, refusal))
      return Refuse(why, std::string(RefusalText(refusal)) + "; nothing was saved.");
    const std::string content = MergedContent(lines);
    TAtomicFile file(WidenString(state.path));
    if (!file.Open()) return Refuse(why, "quorvel.conf could not be written; nothing was saved.");
    file.ExpectTarget(stamp);
    file.Stream().WriteBytes(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    if (file.Commit()) return true;
    if (!file.TargetChanged()) return Refuse(why, "quorvel.conf could not be written; nothing was saved.");
  }
  return Refuse(why, "quorvel.conf kept changing while it was written; nothing was saved.");
}

int32_t SettingNumber(const String& name) {
  const int rule = RuleNamed(name);
  if (rule < 0 || kRules[rule].check != IsWholeNumberInRange) return 0;
  return static_cast<int32_t>(std::stol(state.values[rule]));
}

int32_t LockAfterMinutes() { return SettingNumber(kLockAfterMinutesSetting); }
int32_t ClipboardSeconds() { return SettingNumber(kClipboardSecondsSetting); }
