#include "app/windows/MainWindow.h"

#include <stdlib.h>
#include <time.h>

#include <optional>

#include "app/generator/CharacterClasses.h"
#include "app/generator/Generator.h"
#include "app/generator/Strength.h"
#include "app/records/OneTimeCode.h"
#include "app/records/PairKey.h"
#include "app/records/RecordCipher.h"
#include "app/records/RecordFile.h"
#include "app/settings/Settings.h"
#include "app/transfer/RecordTransfer.h"
#include "app/windows/AppGadgets.h"
#include "app/windows/ChangeWindow.h"
#include "app/windows/PassphraseWindow.h"
#include "app/windows/RecordList.h"
#include "app/windows/SettingsWindow.h"
#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "gui/proxy/THyperlinkGadget.h"
#include "runtime/Wipe.h"
#include "system/SystemDriver.h"

const char* const kMakerHost = "quorvel.org";

namespace {
const char* const kTitle = "Quorvel v1.2b";

// Menu tags, which come back as the data of MenuAction events.
enum MenuTag {
  FileMenuTag = 0,
  ExitTag = 1,
  HelpMenuTag = 2,
  AboutTag = 3,
  PassphraseTag = 4,
  ImportTag = 5,
  ExportTag = 6,
  LockTag = 7,
  SettingsTag = 8
};

// Window styles: title bar, resizable, menu bar, status bar, client-area
// geometry, centred (559); client-area geometry and centred only (544).
constexpr int32_t kMainWindowStyle = 559;
constexpr int32_t kPromptWindowStyle = 544;
constexpr int32_t kCheckBox = 2, kOkButton = 4, kPushButton = 8;
constexpr int32_t kSunkenPanel = 1, kRaisedPanel = 2, kCentredLabel = 16;
constexpr int32_t kReadOnlyArea = 2;
constexpr int32_t kControlKey = 2;

Ref<TGadget> caseSensitiveBox, invisibleBox, generateButton, generatedArea, copyGeneratedButton, addButton;
// The generator's choices beside the seed's, and the strength of what it made.
Ref<TGadget> upperBox, lowerBox, digitsBox, symbolsBox, noLookAlikesBox, wordsBox, wordCountField, separatorField;
Ref<TGadget> separatorCaption, wordListLabel, strengthLabel;
Ref<TGadget> recordArea, copyRecordButton, deleteButton, changeButton, findField;
// The chosen record's other fields, in the records panel below its password.
Ref<TGadget> userArea, copyUserButton, urlArea, codeCaption, codeArea, copyCodeButton, codeLeftLabel;
Ref<TGadget> promptWindow, descriptionField, okButton;
Ref<TGadget> lockMenu;

// Every gadget keeps its distance from the parent's left and top edges and
// its size when the window is resized.
Ref<TGadget> Pinned(Ref<TGadget> gadget) {
  if (gadget) GadgetSetLayout(gadget, EdgeFixed, EdgeFree, EdgeFixed, EdgeFree);
  return gadget;
}

String Title() { return S(kTitle); }
String SiteUrl() { return S("http://") + S(kMakerHost) + S("/"); }
String AboutUrl() { return S("http://") + S(kMakerHost) + S("/software.php#quorvel"); }

// Identifies the clipboard's timer among TimerTick events.
const ObjectRef clipboardTimer = New<TObject>();

// The delay before the clipboard is cleared, unless something else is copied
// meanwhile: the clipboard time of the settings. QUORVEL_CLIPBOARD_MS, a test
// seam, can only shorten it.
int32_t ClipboardMillis() {
  const int32_t setting = ClipboardSeconds() * 1000;
  const char* seam = getenv("QUORVEL_CLIPBOARD_MS");
  if (!seam) return setting;
  const int32_t ms = ParseInteger(WidenString(seam));
  return ms >= 0 && ms < setting ? ms : setting;
}

}  // namespace

void CopyAll(const Ref<TGadget>& area) {
  TextAreaSelect(area, 0, -1, 1);
  GadgetCopyText(area);
  SystemStartTimer(ClipboardMillis(), clipboardTimer);
}

namespace {
// A secret area's copy keys, by key code and modifiers (1 Shift, 2 Ctrl): the
// area itself lets none of them copy, so the clipboard's time starts here.
int32_t SecretAreaKeyFilter(const Ref<TEvent>& event, const ObjectRef&) {
  if (event->id != KeyDown) return 1;
  const bool ctrl = (event->mods & 2) != 0;
  const bool copy = ctrl && (event->data == 'C' || event->data == 45);
  const bool cut = ctrl ? event->data == 'X' : (event->mods & 1) != 0 && event->data == 46;
  if (!copy && !cut) return 1;
  const Ref<TGadget> area = std::dynamic_pointer_cast<TGadget>(event->source);
  if (TextAreaSelectionLength(area, 1) > 0) {
    if (cut)
      GadgetCutText(area);
    else
      GadgetCopyText(area);
    SystemStartTimer(ClipboardMillis(), clipboardTimer);
  }
  return 0;
}
}  // namespace

Ref<TGadget> MakeSecretArea(int32_t x, int32_t y, int32_t w, int32_t h, const Ref<TGadget>& group, int32_t style) {
  Ref<TGadget> area = MakeTextArea(x, y, w, h, group, style | TextAreaSecret);
  GadgetSetFilter(area, SecretAreaKeyFilter, nullptr);
  return area;
}

namespace {

// The record whose password the records area shows; -1 for none.
int32_t shownPassword = -1;

// Identifies the one-second timer that keeps the shown one-time code current
// (starting it again restarts it, so one runs at a time).
const ObjectRef codeTimer = New<TObject>();

// The shown record's current one-time code and the seconds it has left, or
// nothing (hidden) when it has no secret that reads.
void ShowOneTimeCode(int32_t index) {
  String stored = index >= 0 ? RecordFieldValue(index, kOneTimeField) : String();
  std::optional<TOneTimeSecret> secret = stored.empty() ? std::nullopt : OneTimeParse(stored);
  SecureWipe(stored);
  if (!secret) {
    GadgetSetText(codeArea, String());
    for (const Ref<TGadget>* gadget : {&codeCaption, &codeArea, &copyCodeButton, &codeLeftLabel}) GadgetHide(*gadget);
    return;
  }
  const int64_t now = static_cast<int64_t>(::time(nullptr));
  String code = OneTimeCode(*secret, now);
  GadgetSetText(codeArea, code);
  SecureWipe(code);
  GadgetSetText(codeLeftLabel, IntToString(OneTimeSecondsLeft(*secret, now)) + S(" s left"));
  for (const Ref<TGadget>* gadget : {&codeCaption, &codeArea, &copyCodeButton, &codeLeftLabel}) GadgetShow(*gadget);
  SystemStartTimer(1000, codeTimer);
}

// The user name, web address and one-time code of the record shown.
void ShowRecordFields(int32_t index) {
  const bool readable = index >= 0 && RecordReadable(index);
  bool hasUser = false;
  for (const auto& [area, name] : {std::pair{&userArea, kUserNameField}, std::pair{&urlArea, kWebAddressField}}) {
    String value = readable ? RecordFieldValue(index, name) : String();
    if (name == kUserNameField) hasUser = !value.empty();
    GadgetSetText(*area, value);
    SecureWipe(value);
  }
  if (hasUser)
    GadgetEnable(copyUserButton);
  else
    GadgetDisable(copyUserButton);
  ShowOneTimeCode(readable ? index : -1);
}

// The record of the item chosen in the combo box; -1 when none is.
int32_t ChosenRecord() { return ShownRecord(GadgetSelectedItem(recordCombo)); }

// A record that could not be read shows no password, and the status bar says why.
void ShowRecordPassword(int32_t index) {
  shownPassword = index;
  ShowRecordFields(index);
  if (index < 0) {
    GadgetSetText(recordArea, String());
    return;
  }
  if (!RecordReadable(index)) {
    GadgetSetText(recordArea, String());
    StatusSay(UnreadableRecordsMessage());
    return;
  }
  String password = RecordPassword(index);
  GadgetSetText(recordArea, password);
  SecureWipe(password);
}

// Chooses a record's item (when the find text shows it) and shows its password.
void ChooseRecordItem(int32_t record) {
  const int32_t item = ShownItem(record);
  if (item < 0) {
    ShowRecordPassword(-1);
    return;
  }
  GadgetSelectItem(recordCombo, item);
  ShowRecordPassword(record);
}

// After a save: the record chosen before, unless a merge with changes made
// elsewhere rebuilt the list; then its first record.
void ChooseAfterSave(int32_t record) {
  if (lastSaveMerged) record = ShownRecord(0);
  ChooseRecordItem(record);
}

void CopyChosenRecord() {
  const int32_t index = ChosenRecord();
  if (index < 0 || index >= recordCount) return;
  if (!RecordReadable(index)) {
    StatusSay(UnreadableRecordsMessage());
    return;
  }
  CopyAll(recordArea);
}

// The key filter sees only typed keys; a paste or a middle click can put
// anything into a field. Only 1 to most digits make a length or a count.
bool IsDigitsText(const String& text, size_t most) {
  if (text.empty() || text.size() > most) return false;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

// Digits and backspace only, and a digit only while the field holds fewer
// than most; key events other than typed characters pass.
int32_t DigitKeyPasses(const Ref<TEvent>& event, const Ref<TGadget>& field, size_t most) {
  if (event->id != KeyChar) return 1;
  int32_t c = event->data;
  if (c > 57) return 0;
  if (c < 48 && c != 8) return 0;
  if (c >= 48 && GadgetGetText(field).size() >= most) return 0;
  return 1;
}

// The word count takes at most two digits, as Length takes three.
int32_t WordCountKeyFilter(const Ref<TEvent>& event, const ObjectRef&) {
  return DigitKeyPasses(event, wordCountField, 2);
}

// A typed printable character takes the separator's place, so that a space,
// which cannot be seen there, is replaced without first being found and
// deleted; backspace empties the field. Every other key is swallowed.
int32_t SeparatorKeyFilter(const Ref<TEvent>& event, const ObjectRef&) {
  if (event->id != KeyChar || event->data == 8) return 1;
  if (event->data >= 0x20 && event->data < 0x7F)
    GadgetSetText(separatorField, String(1, static_cast<char16_t>(event->data)));
  return 0;
}

// The class check boxes, each with the characters it adds.
const struct {
  Ref<TGadget>* box;
  uint32_t mask;
} kClassBoxes[] = {{&upperBox, CharacterClassUpper},
                   {&lowerBox, CharacterClassLower},
                   {&digitsBox, CharacterClassDigits},
                   {&symbolsBox, CharacterClassSymbols}};

uint32_t ChosenClasses() {
  uint32_t classes = 0;
  for (const auto& entry : kClassBoxes)
    if (ButtonGetState(*entry.box) > 0) classes |= entry.mask;
  return classes;
}

bool Ticked(const Ref<TGadget>& box) { return ButtonGetState(box) > 0; }

void SetEnabled(const Ref<TGadget>& gadget, bool enabled) {
  if (enabled)
    GadgetEnable(gadget);
  else
    GadgetDisable(gadget);
}

// False when the word list cannot be used: Words stays unticked and disabled.
bool wordListUsable = false;

// Only the choices that make the password can be changed: the runs' "Case
// sensitive" while no class is ticked, "No look-alikes" while one is, the
// characters' choices while Words is not ticked, the word count and the
// separator while it is.
void UpdateGeneratorControls() {
  const bool words = Ticked(wordsBox);
  const uint32_t classes = ChosenClasses();
  SetEnabled(caseSensitiveBox, !words && classes == 0);
  for (const auto& entry : kClassBoxes) SetEnabled(*entry.box, !words);
  SetEnabled(lengthField, !words);
  SetEnabled(noLookAlikesBox, !words && classes != 0);
  SetEnabled(wordCountField, words);
  SetEnabled(separatorField, words);
}

// Each generator choice with the quorvel.conf setting that remembers it.
const struct {
  Ref<TGadget>* gadget;
  const char16_t* const* setting;
} kGeneratorChoices[] = {{&caseSensitiveBox, &kGeneratorCaseSensitiveSetting},
                         {&upperBox, &kGeneratorUpperSetting},
                         {&lowerBox, &kGeneratorLowerSetting},
                         {&digitsBox, &kGeneratorDigitsSetting},
                         {&symbolsBox, &kGeneratorSymbolsSetting},
                         {&noLookAlikesBox, &kGeneratorNoLookAlikesSetting},
                         {&wordsBox, &kGeneratorWordsSetting},
                         {&lengthField, &kGeneratorLengthSetting},
                         {&wordCountField, &kGeneratorWordCountSetting},
                         {&separatorField, &kGeneratorSeparatorSetting}};

// A choice as its setting writes it: a check box as 0 or 1, a field as its
// text, a space separator by its name (the file drops spaces around values).
String ChoiceText(const Ref<TGadget>& gadget) {
  if (GadgetGetClass(gadget) == GadgetClassButton) return S(Ticked(gadget) ? "1" : "0");
  const String text = GadgetGetText(gadget);
  return gadget == separatorField && text == S(" ") ? S(kSpaceSeparator) : text;
}

void ShowChoice(const Ref<TGadget>& gadget, const String& value) {
  if (GadgetGetClass(gadget) == GadgetClassButton)
    ButtonSetState(gadget, value == S("1") ? 1 : 0);
  else
    GadgetSetText(gadget, gadget == separatorField && value == S(kSpaceSeparator) ? S(" ") : value);
}

// Keeps the choices that changed in quorvel.conf. A value the setting does
// not take (an empty field, a paste that is no number) is not kept, nor is
// Words while the word list is unusable, since it then shows off whatever
// was chosen. A failed save is only a note: the choices still hold.
void SaveGeneratorChoices() {
  bool changed = false;
  for (const auto& choice : kGeneratorChoices) {
    if (*choice.gadget == wordsBox && !wordListUsable) continue;
    const String text = ChoiceText(*choice.gadget);
    if (text != SettingText(*choice.setting) && SettingSet(*choice.setting, text)) changed = true;
  }
  String why;
  if (changed && !SettingsSave(&why)) StatusSay(S("The generator's choices were not kept: ") + why);
}

// The choices remembered in quorvel.conf. Without a usable word list Words is
// unticked and disabled, and a label in place of its fields says so, with
// why in its tip (a disabled box shows none). A note for the status bar when
// Words was chosen but cannot be had, otherwise "".
String LoadGeneratorChoices() {
  for (const auto& choice : kGeneratorChoices) ShowChoice(*choice.gadget, SettingText(*choice.setting));
  const TWordList& list = QuorvelWordList();
  wordListUsable = list.Usable();
  String note;
  if (wordListUsable) {
    GadgetHide(wordListLabel);
  } else {
    if (Ticked(wordsBox)) note = S("No passphrases: the word list is missing or damaged.");
    ButtonSetState(wordsBox, 0);
    GadgetDisable(wordsBox);
    for (const Ref<TGadget>* gadget : {&wordCountField, &separatorCaption, &separatorField}) GadgetHide(*gadget);
    GadgetSetTooltip(wordListLabel, S("No passphrases: ") + WidenString(list.problem) + S("."));
  }
  UpdateGeneratorControls();
  return note;
}

bool IsGeneratorBox(const ObjectRef& source) {
  for (const auto& choice : kGeneratorChoices)
    if (source == *choice.gadget) return GadgetGetClass(*choice.gadget) == GadgetClassButton;
  return false;
}

// A ticked or unticked box is kept at once; what a field holds, when
// Generate uses it.
void ChangeGeneratorBox() {
  UpdateGeneratorControls();
  SaveGeneratorChoices();
}

// The generator's last problem while the status bar may still show it: the
// next password made takes it away.
String generatorProblem;

void SayGeneratorProblem(const std::string& problem) {
  generatorProblem = WidenString(problem);
  if (!generatorProblem.empty() && generatorProblem[0] >= u'a' && generatorProblem[0] <= u'z')
    generatorProblem[0] = generatorProblem[0] - u'a' + u'A';
  generatorProblem += S("; no password was generated.");
  StatusSay(generatorProblem);
}

void ForgetGeneratorProblem() {
  if (!generatorProblem.empty() && WindowGetStatusText(mainWindow).find(generatorProblem) != String::npos)
    StatusSay(String());
  generatorProblem.clear();
}

void ClearGenerated() {
  GadgetSetText(generatedArea, String());
  GadgetSetText(strengthLabel, String());
}

// The seed's runs keep their behaviour: an empty or pasted Length that is no
// number generates nothing, without a word. Every other problem (a length,
// word count or separator out of range, an unusable word list, a failed
// random source) is told in the status bar, and nothing is made.
void Generate() {
  TGeneratorSettings settings;
  settings.caseSensitive = Ticked(caseSensitiveBox);
  settings.words = Ticked(wordsBox);
  settings.classes = settings.words ? 0 : ChosenClasses();
  settings.noLookAlikes = Ticked(noLookAlikesBox);
  String lengthText = GadgetGetText(lengthField);
  if (!settings.words && settings.classes == 0 && !IsDigitsText(lengthText, 3)) return;
  settings.length = IsDigitsText(lengthText, 3) ? ParseInteger(lengthText) : -1;
  const String countText = GadgetGetText(wordCountField);
  settings.wordCount = IsDigitsText(countText, 2) ? ParseInteger(countText) : 0;
  const String separator = GadgetGetText(separatorField);
  settings.separator = separator.size() == 1 ? separator[0] : 0;
  SaveGeneratorChoices();
  const TGeneratedPassword made = GeneratorMakePassword(settings);
  if (!made.Made()) {
    SayGeneratorProblem(made.problem);
    return;
  }
  ForgetGeneratorProblem();
  GadgetSetText(generatedArea, made.password);
  GadgetSetText(strengthLabel, S("Strength: ") + StrengthFigure(made.bits));
  GadgetEnable(copyGeneratedButton);
  GadgetEnable(addButton);
}

void OpenPrompt() {
  promptWindow = MakeWindow(Title(), 50, 50, 320, 240, nullptr, kPromptWindowStyle);
  if (!promptWindow) return;
  GadgetDisable(mainWindow);
  Ref<TGadget> panel = MakePanel(0, 0, GadgetClientWidth(promptWindow), GadgetClientHeight(promptWindow), promptWindow,
                                 kRaisedPanel, String());
  int32_t width = GadgetClientWidth(panel);
  Pinned(MakeLabel(S("Enter a description of the password"), 4, 0, width - 8, 20, panel, kCentredLabel));
  descriptionField = MakeTextField(4, 72, width - 8, 20, panel, 0);
  okButton = MakeButton(S("OK"), width / 2 - 52, 96, 100, 20, panel, kOkButton);
  GadgetFocus(promptWindow);
}

void AddRecord() {
  const int32_t chosen = ChosenRecord();
  ++recordCount;
  descriptions.push_back(TrimText(GadgetGetText(descriptionField)));
  String password = GadgetGetText(generatedArea);
  passwords.emplace_back(password);
  SecureWipe(password);
  RecordStamp(recordCount - 1, true);
  RefillRecordCombo();
  SaveRecords(recordCount);
  GadgetHide(promptWindow);
  GadgetFree(promptWindow);
  promptWindow = descriptionField = okButton = nullptr;
  GadgetEnable(mainWindow);
  GadgetDisable(addButton);
  ChooseAfterSave(recordCount == 1 ? 0 : chosen);
}

void ChooseRecord() {
  const int32_t index = ChosenRecord();
  if (index < 0 || index >= recordCount) return;  // nothing chosen
  ShowRecordPassword(index);
}

void DeleteChosenRecord() {
  const int32_t index = ChosenRecord();
  if (index < 0 || index >= recordCount) return;  // nothing to delete
  if (SystemConfirm(S("Are you sure you want to delete?"), 0) != 1) return;
  DeleteRecord(index, recordCount);
  --recordCount;
  GadgetFocus(recordCombo);
  SaveRecords(recordCount);
  ChooseRecordItem(ShownRecord(0));
}

void ChangeChosenRecord() {
  const int32_t index = ChosenRecord();
  if (index < 0 || index >= recordCount) return;  // nothing chosen
  if (!RecordReadable(index)) {
    StatusSay(S("This record could not be read, so it cannot be changed."));
    return;
  }
  OpenChangeWindow(index, generatedArea, [](int32_t record) {
    GadgetFocus(recordCombo);
    ChooseAfterSave(record);
  });
}

// The find text the list was last narrowed for.
String appliedFind;

// Typing into the find field narrows the list; nothing is chosen until Enter
// or a click. The text-change events come through the queue, while Enter and
// Escape come at once through the key filter: whichever comes first applies
// the field's text, and a later one for the same text does nothing.
void NarrowRecords() {
  const String text = GadgetGetText(findField);
  if (text == appliedFind) return;
  appliedFind = text;
  FindRecords(text);
  ShowRecordPassword(-1);
}

// Enter chooses the first record found; Escape shows every record again.
// Both are taken here, before the field (or the window, which Escape would
// close) sees them.
int32_t FindKeyFilter(const Ref<TEvent>& event, const ObjectRef&) {
  if (event->id != KeyDown || (event->data != 13 && event->data != 27)) return 1;
  if (event->data == 27) {
    const int32_t chosen = shownPassword >= 0 ? shownPassword : ShownRecord(0);
    GadgetSetText(findField, String());
    NarrowRecords();
    ChooseRecordItem(chosen >= 0 ? chosen : ShownRecord(0));
  } else {
    NarrowRecords();
    ChooseRecordItem(ShownRecord(0));
  }
  return 0;
}

// What an import or export did: in the status bar when it fits there,
// otherwise in a message, with its short form in the status bar.
void ShowTransfer(const TTransfer& result) {
  constexpr size_t kStatusFits = 95;
  if (result.brief.empty() || result.message.size() <= kStatusFits) {
    StatusSay(result.message);
    return;
  }
  StatusSay(result.brief);
  SystemNotify(result.message, result.ok ? 0 : 1);
}

void ImportFromFile() {
  const String path = SystemRequestFile(S("Import records from a CSV file"), S("csv"), 0, String());
  if (path.empty()) return;
  const int32_t chosen = ChosenRecord();
  const TTransfer result = ImportRecords(path);
  ShowTransfer(result);
  ChooseAfterSave(chosen >= 0 ? chosen : ShownRecord(0));
}

void ExportToFile() {
  const String path = SystemRequestFile(S("Export the records to a CSV file (not encrypted)"), S("csv"), 1, String());
  if (path.empty()) return;
  if (SystemConfirm(S("The exported file is not encrypted: anyone who can read it reads every password. Export?"), 0) !=
      1)
    return;
  ShowTransfer(ExportRecords(path));
}

void ToggleInvisible() {
  if (ButtonGetState(invisibleBox) != 0) {
    GadgetHide(generatedArea);
    GadgetHide(recordArea);
  } else {
    GadgetShow(generatedArea);
    GadgetShow(recordArea);
  }
}

// Ends the program, asking first while the last change is unsaved; No stays.
void Quit() {
  if (RecordsUnsaved() && SystemConfirm(S("The last change could not be saved. Quit anyway and lose it?"), 1) != 1)
    return;
  SystemEndProgram();
}

// Lock needs a passphrase to unlock with: without one it is disabled.
void UpdateLockMenu() {
  if (!lockMenu) return;
  if (PairKeySealed()) {
    MenuEnable(lockMenu);
    GadgetSetTooltip(lockMenu, S("Hide the records until the passphrase is typed again (Ctrl+L)."));
  } else {
    MenuDisable(lockMenu);
    GadgetSetTooltip(lockMenu, S("Set a passphrase first: without one there is nothing to unlock with."));
  }
  WindowUpdateMenu(mainWindow);
}

void ClosePrompt() {
  if (!promptWindow) return;
  GadgetSetText(descriptionField, String());
  GadgetHide(promptWindow);
  GadgetFree(promptWindow);
  promptWindow = descriptionField = okButton = nullptr;
  GadgetEnable(mainWindow);
}

// Locks a sealed pair: every other window closes unsaved, everything shown
// and held is wiped, the main window goes and the passphrase window asks as
// at start. Cancelled, the program ends (asking first when a change is
// unsaved); unlocked, the pair is read again and the window comes back with
// the same record chosen.
void LockNow() {
  if (!PairKeySealed() || RecordsLocked()) return;
  const uint64_t chosen = RecordId(ChosenRecord());
  CloseChangeWindow();
  ClosePassphraseWindow();
  ClosePrompt();
  ShowRecordPassword(-1);
  ClearGenerated();
  GadgetDisable(copyGeneratedButton);
  GadgetDisable(addButton);
  ClipboardClear();
  if (!RecordsLock()) {
    StatusSay(S("The records could not be locked."));
    return;
  }
  RefillRecordCombo();
  GadgetHide(mainWindow);
  while (!RunUnlockWindow() || !RecordsUnlock()) {
    if (!RecordsUnsaved() ||
        SystemConfirm(S("The last change could not be saved. Quit anyway and lose it?"), 1) == 1)
      SystemEndProgram();
  }
  RefillRecordCombo();
  GadgetShow(mainWindow);
  const int32_t index = RecordIndexOfId(chosen);
  ChooseRecordItem(index >= 0 ? index : ShownRecord(0));
  if (lastSaveMerged) StatusSay(lastMergeStatus);
}

void HandleAction(const ObjectRef& source) {
  if (!source) return;
  if (source == generateButton)
    Generate();
  else if (source == copyGeneratedButton)
    CopyAll(generatedArea);
  else if (source == copyRecordButton)
    CopyChosenRecord();
  else if (source == copyUserButton)
    CopyAll(userArea);
  else if (source == copyCodeButton)
    CopyAll(codeArea);
  else if (source == addButton)
    OpenPrompt();
  else if (okButton && source == okButton)
    AddRecord();
  else if (source == recordCombo)
    ChooseRecord();
  else if (source == deleteButton)
    DeleteChosenRecord();
  else if (source == changeButton)
    ChangeChosenRecord();
  else if (source == findField)
    NarrowRecords();
  else if (source == invisibleBox)
    ToggleInvisible();
  else if (IsGeneratorBox(source))
    ChangeGeneratorBox();
}
}  // namespace

int32_t LengthKeyFilter(const Ref<TEvent>& event, const ObjectRef&) { return DigitKeyPasses(event, lengthField, 3); }

String StrengthFigure(double bits) {
  return IntToString(StrengthWholeBits(bits)) + S(" bits, ") + S(StrengthWord(bits));
}

bool BuildMainWindow() {
  mainWindow = MakeWindow(Title(), 50, 50, 640, 300, nullptr, kMainWindowStyle);
  if (!mainWindow) return false;
  RecordListInstall();

  Ref<TGadget> menuBar = WindowGetMenu(mainWindow);
  Ref<TGadget> fileMenu = MakeMenu(S("&File"), FileMenuTag, menuBar, 0, 0);
  MakeMenu(S("Set &passphrase\xE2\x80\xA6"), PassphraseTag, fileMenu, 0, 0);
  MakeMenu(S("&Settings\xE2\x80\xA6"), SettingsTag, fileMenu, 0, 0);
  lockMenu = MakeMenu(S("&Lock"), LockTag, fileMenu, 'L', kControlKey);
  MakeMenu(S("&Import\xE2\x80\xA6"), ImportTag, fileMenu, 0, 0);
  MakeMenu(S("&Export\xE2\x80\xA6"), ExportTag, fileMenu, 0, 0);
  MakeMenu(S("E&xit"), ExitTag, fileMenu, 0, 0);
  Ref<TGadget> helpMenu = MakeMenu(S("&Help"), HelpMenuTag, menuBar, 0, 0);
  MakeMenu(S("&About"), AboutTag, helpMenu, 0, 0);
  UpdateLockMenu();

  Pinned(MakeLabel(S("Random password generator"), 4, 4, 200, 20, mainWindow, 0));
  caseSensitiveBox = Pinned(MakeButton(S("Case sensitive"), 4, 24, 100, 20, mainWindow, kCheckBox));
  invisibleBox = Pinned(MakeButton(S("Invisible passwords"), 110, 24, 150, 20, mainWindow, kCheckBox));
  lengthField = Pinned(MakeTextField(4, 48, 30, 20, mainWindow, 0));
  Pinned(MakeLabel(S("Length"), 34, 48, 50, 20, mainWindow, 0));
  generateButton = Pinned(MakeButton(S("Generate"), 4, 72, 100, 20, mainWindow, kPushButton));
  generatedArea = Pinned(MakeSecretArea(4, 96, 430, 40, mainWindow, 0));
  copyGeneratedButton = Pinned(MakeButton(S("Copy"), 434, 96, 50, 20, mainWindow, kPushButton));
  addButton = Pinned(MakeButton(S("Add to records"), 484, 96, 100, 20, mainWindow, kPushButton));
  // The characters' classes above, the passphrase's words below, right of
  // the seed's controls; the strength beside Generate.
  upperBox = Pinned(MakeButton(S("Upper"), 270, 24, 66, 20, mainWindow, kCheckBox));
  lowerBox = Pinned(MakeButton(S("Lower"), 340, 24, 66, 20, mainWindow, kCheckBox));
  digitsBox = Pinned(MakeButton(S("Digits"), 410, 24, 66, 20, mainWindow, kCheckBox));
  symbolsBox = Pinned(MakeButton(S("Symbols"), 480, 24, 80, 20, mainWindow, kCheckBox));
  noLookAlikesBox = Pinned(MakeButton(S("No look-alikes"), 270, 48, 120, 20, mainWindow, kCheckBox));
  wordsBox = Pinned(MakeButton(S("Words"), 400, 48, 66, 20, mainWindow, kCheckBox));
  wordCountField = Pinned(MakeTextField(466, 48, 26, 20, mainWindow, 0));
  separatorCaption = Pinned(MakeLabel(S("Separator"), 500, 48, 66, 20, mainWindow, 0));
  separatorField = Pinned(MakeTextField(566, 48, 20, 20, mainWindow, 0));
  wordListLabel = Pinned(MakeLabel(S("(no usable word list)"), 466, 48, 170, 20, mainWindow, 0));
  strengthLabel = Pinned(MakeLabel(String(), 112, 72, 320, 20, mainWindow, 0));
  GadgetSetFilter(wordCountField, WordCountKeyFilter, nullptr);
  GadgetSetFilter(separatorField, SeparatorKeyFilter, nullptr);
  GadgetSetTooltip(noLookAlikesBox, S("Leaves out 0 O 1 l I |, which look alike in many fonts."));
  GadgetSetTooltip(symbolsBox, S("The 32 ASCII punctuation characters."));
  GadgetSetTooltip(wordsBox, S("A passphrase of words from the EFF's large word list."));
  GadgetSetTooltip(separatorField, S("One character between the words; typing one replaces it."));

  GadgetSetFilter(lengthField, LengthKeyFilter, nullptr);
  const String wordsNote = LoadGeneratorChoices();
  GadgetDisable(copyGeneratedButton);
  GadgetDisable(addButton);
  ButtonSetState(invisibleBox, 1);
  GadgetHide(generatedArea);

  Ref<TGadget> panel = Pinned(MakePanel(0, 144, GadgetClientWidth(mainWindow), GadgetClientHeight(mainWindow) - 144,
                                        mainWindow, kSunkenPanel, String()));
  Pinned(MakeLabel(S("Password records"), 4, 0, 200, 20, panel, 0));
  Pinned(MakeLabel(S("Find"), 254, 0, 34, 20, panel, 0));
  findField = Pinned(MakeTextField(290, 0, 144, 20, panel, 0));
  GadgetSetFilter(findField, FindKeyFilter, nullptr);
  recordCombo = Pinned(MakeComboBox(4, 24, 430, 20, panel, 0));
  recordArea = Pinned(MakeSecretArea(4, 48, 430, 40, panel, 0));
  copyRecordButton = Pinned(MakeButton(S("Copy"), 434, 48, 50, 20, panel, kPushButton));
  deleteButton = Pinned(MakeButton(S("Delete"), 484, 48, 75, 20, panel, kPushButton));
  changeButton = Pinned(MakeButton(S("Change\xE2\x80\xA6"), 559, 48, 75, 20, panel, kPushButton));
  GadgetHide(recordArea);
  // Below the password: the user name with a Copy of its own, the web
  // address, and, for a record with a one-time secret, its current code.
  Pinned(MakeLabel(S("User name"), 4, 94, 84, 20, panel, 0));
  userArea = Pinned(MakeTextArea(88, 92, 346, 22, panel, kReadOnlyArea));
  copyUserButton = Pinned(MakeButton(S("Copy"), 434, 93, 50, 20, panel, kPushButton));
  Pinned(MakeLabel(S("Web address"), 4, 118, 84, 20, panel, 0));
  urlArea = Pinned(MakeTextArea(88, 116, 346, 22, panel, kReadOnlyArea));
  codeCaption = Pinned(MakeLabel(S("Code"), 490, 94, 36, 20, panel, 0));
  codeArea = Pinned(MakeSecretArea(526, 92, 62, 22, panel, kReadOnlyArea));
  copyCodeButton = Pinned(MakeButton(S("Copy"), 588, 93, 46, 20, panel, kPushButton));
  codeLeftLabel = Pinned(MakeLabel(String(), 526, 114, 100, 20, panel, 0));
  ShowRecordFields(-1);
  Pinned(CreateHyperlinkGadget(SiteUrl(), GadgetClientWidth(panel) - 110, GadgetClientHeight(panel) - 20, 100, 20,
                               panel, 0, S(kMakerHost)));

  RefillRecordCombo();
  if (recordCount > 0) ChooseRecordItem(0);
  String problems = RecordFileDamageMessage();
  const String unreadable = UnreadableRecordsMessage();
  if (!unreadable.empty()) problems += (problems.empty() ? S("") : S(" ")) + unreadable;
  if (!problems.empty()) StatusSay(problems);
  MergeConflictCopiesNow();
  if (lastSaveMerged) ChooseRecordItem(ShownRecord(0));
  ShowSettingsNote(wordsNote);
  return true;
}

void RunMainLoop() {
  SystemWatchLock(LockAfterMinutes());
  for (;;) {
    const int32_t id = EventQueueWait();
    if (PassphraseWindowHandle(id, CurrentEventSource()) || ChangeWindowHandle(id, CurrentEventSource()) ||
        SettingsWindowHandle(id, CurrentEventSource())) {
      UpdateLockMenu();
      SystemWatchLock(LockAfterMinutes());
      // A merge before a new pair was written rebuilt the list: the records
      // area must not go on showing a password that no item is chosen for.
      if (GadgetSelectedItem(recordCombo) < 0 && shownPassword >= 0) ChooseRecordItem(ShownRecord(0));
      SystemSleepMillis(25);
      continue;
    }
    if (id == GadgetAction) {
      HandleAction(CurrentEventSource());
    } else if (id == MenuAction) {
      int32_t tag = CurrentEventData();
      if (tag == ExitTag) Quit();
      if (tag == AboutTag) SystemOpenURL(AboutUrl());
      if (tag == PassphraseTag) OpenPassphraseWindow();
      if (tag == ImportTag) ImportFromFile();
      if (tag == ExportTag) ExportToFile();
      if (tag == LockTag) LockNow();
      if (tag == SettingsTag) OpenSettingsWindow();
    } else if (id == WindowClose) {
      Quit();
    } else if (id == TimerTick && CurrentEventSource() == codeTimer) {
      ShowOneTimeCode(shownPassword);
    } else if (id == TimerTick && CurrentEventSource() == clipboardTimer) {
      ClipboardClear();
    } else if (id == SystemLockRequest) {
      // Idle, the screen saver, a session lock or sleep; one that comes
      // while locked, or for a pair without a passphrase, does nothing.
      LockNow();
    }
    SystemSleepMillis(25);
  }
}
