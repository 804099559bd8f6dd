#include "app/windows/ChangeWindow.h"

#include "app/generator/Strength.h"
#include "app/records/OneTimeCode.h"
#include "app/records/RecordFile.h"
#include "app/windows/AppGadgets.h"
#include "app/windows/MainWindow.h"
#include "app/windows/RecordList.h"
#include "gui/core/Event.h"
#include "gui/core/FrontEnd.h"
#include "runtime/Wipe.h"

namespace {
const char* const kTitle = "Quorvel v1.2b";
constexpr int32_t kDialogStyle = 544;  // client-area geometry, centred
constexpr int32_t kCheckBox = 2, kOkButton = 4, kPushButton = 8, kRaisedPanel = 2;

struct TChangeDialog {
  Ref<TGadget> window, description, password, useGenerated, user, url, oneTime, notes, message, ok, cancel, generated;
  // The earlier passwords by the time each was replaced, and a hidden area
  // that holds the one being copied.
  Ref<TGadget> earlier, copyEarlier, copied;
  // The new password's caption, which tells the typed password's strength.
  Ref<TGadget> passwordCaption;
  int32_t record = -1;
  TChangeDone done = nullptr;
};
TChangeDialog dialog;

// The fields a record holds besides its description and password, with the
// gadget that edits each.
struct TOtherField {
  const char16_t* name;
  Ref<TGadget> TChangeDialog::*gadget;
};
const TOtherField kOtherFields[] = {{kUserNameField, &TChangeDialog::user},
                                    {kWebAddressField, &TChangeDialog::url},
                                    {kOneTimeField, &TChangeDialog::oneTime},
                                    {kNotesField, &TChangeDialog::notes}};

void Close() {
  // Every field that held a secret is emptied, so that its buffer is wiped.
  for (Ref<TGadget>* field :
       {&dialog.password, &dialog.user, &dialog.url, &dialog.oneTime, &dialog.notes, &dialog.copied})
    if (*field) GadgetSetText(*field, String());
  if (dialog.window) {
    GadgetHide(dialog.window);
    GadgetFree(dialog.window);
  }
  dialog = TChangeDialog();
  GadgetEnable(mainWindow);
}

const char* const kPasswordCaption = "New password (empty: keep the current one)";

// While a password is typed or pasted, its caption tells zxcvbn's estimate
// of it instead of what an empty field does. The copy read from the field
// is wiped; nothing of it is kept.
void ShowTypedStrength() {
  String typed = GadgetGetText(dialog.password);
  const double bits = StrengthTypedBits(typed);
  const bool empty = typed.empty();
  SecureWipe(typed);
  GadgetSetText(dialog.passwordCaption,
                empty ? S(kPasswordCaption) : S("New password (strength: ") + StrengthFigure(bits) + S(")"));
}
}  // namespace

void CloseChangeWindow() {
  if (dialog.window) Close();
}

namespace {

// Applies the fields. False keeps the window open with a message.
bool Apply() {
  String description = TrimText(GadgetGetText(dialog.description));
  if (description.empty()) {
    GadgetSetText(dialog.message, S("Type a description."));
    return false;
  }
  if (!RecordReadable(dialog.record)) return true;
  String oneTime = TrimText(GadgetGetText(dialog.oneTime));
  const bool oneTimeReads = oneTime.empty() || OneTimeParse(oneTime).has_value();
  SecureWipe(oneTime);
  if (!oneTimeReads) {
    GadgetSetText(dialog.message, S("Not a one-time secret: use otpauth:// or base32."));
    return false;
  }
  String password = GadgetGetText(dialog.password);
  GadgetSetText(dialog.password, String());
  if (dialog.useGenerated && ButtonGetState(dialog.useGenerated) != 0) {
    SecureWipe(password);
    password = GadgetGetText(dialog.generated);
  } else if (TrimText(password).empty()) {
    SecureWipe(password);
    password = RecordPassword(dialog.record);
  }
  const int32_t record = dialog.record;
  const TChangeDone done = dialog.done;
  ChangeRecord(record, description, password);
  SecureWipe(password);
  if (RecordsHoldMore()) {
    bool changed = false;
    for (const TOtherField& other : kOtherFields) {
      String value = GadgetGetText(dialog.*other.gadget);
      String trimmed = other.name == kNotesField ? value : TrimText(value);
      String before = RecordFieldValue(record, other.name);
      if (trimmed != before) {
        RecordSetField(record, other.name, trimmed);
        changed = true;
      }
      for (String* text : {&value, &trimmed, &before}) SecureWipe(*text);
    }
    if (changed) RecordStamp(record, false);
  }
  Close();
  SaveRecords(recordCount);
  if (done) done(record);
  return true;
}
}  // namespace

void OpenChangeWindow(int32_t record, const Ref<TGadget>& generatedArea, TChangeDone done) {
  if (dialog.window || !RecordReadable(record)) return;
  dialog.window = MakeWindow(S(kTitle), 50, 50, 360, 372, nullptr, kDialogStyle);
  if (!dialog.window) return;
  dialog.record = record;
  dialog.done = done;
  dialog.generated = generatedArea;
  Ref<TGadget> panel =
      MakePanel(0, 0, GadgetClientWidth(dialog.window), GadgetClientHeight(dialog.window), dialog.window, kRaisedPanel);
  const int32_t width = GadgetClientWidth(panel) - 16;
  // Captions first among the panel's children, so that Tab goes from field to field.
  MakeLabel(S("Description"), 8, 6, width, 20, panel, 0);
  dialog.passwordCaption = MakeLabel(S(kPasswordCaption), 8, 54, width, 20, panel, 0);
  MakeLabel(S("User name"), 8, 128, 100, 20, panel, 0);
  MakeLabel(S("Web address"), 8, 154, 100, 20, panel, 0);
  MakeLabel(S("One-time secret"), 4, 180, 108, 20, panel, 0);
  MakeLabel(S("Notes"), 8, 204, 100, 20, panel, 0);
  MakeLabel(S("Old passwords"), 8, 292, 104, 20, panel, 0);
  dialog.description = MakeTextField(8, 26, width, 22, panel, 0);
  dialog.password = MakeTextField(8, 74, width, 22, panel, TextFieldPassword);
  const bool generated = generatedArea && TextAreaLength(generatedArea, 1) > 0;
  if (generated) {
    dialog.useGenerated = MakeButton(S("Use the generated password instead"), 8, 102, width, 20, panel, kCheckBox);
    ButtonSetState(dialog.useGenerated, 1);
  }
  dialog.user = MakeTextField(112, 126, width - 104, 22, panel, 0);
  dialog.url = MakeTextField(112, 152, width - 104, 22, panel, 0);
  dialog.oneTime = MakeTextField(112, 178, width - 104, 22, panel, TextFieldPassword);
  dialog.notes = MakeSecretArea(8, 224, width, 64, panel, 0);
  dialog.earlier = MakeComboBox(112, 291, width - 160, 22, panel, 0);
  dialog.copyEarlier = MakeButton(S("Copy"), width - 40, 292, 48, 20, panel, kPushButton);
  dialog.copied = MakeTextArea(0, 0, 10, 10, panel, 0);
  GadgetHide(dialog.copied);
  dialog.message = MakeLabel(String(), 8, 318, width, 20, panel, 0);
  dialog.ok = MakeButton(S("OK"), 80, 342, 90, 24, panel, kOkButton);
  dialog.cancel = MakeButton(S("Cancel"), 190, 342, 90, 24, panel, kPushButton);
  // Only the times show; a password is put in the hidden area to be copied.
  std::vector<String> earlier = EarlierPasswords(record);
  for (String& entry : earlier) {
    const String when = entry.substr(0, entry.find(u' '));
    GadgetAddItem(dialog.earlier, S("replaced ") + when, 0, -1, String(), nullptr);
    SecureWipe(entry);
  }
  if (earlier.empty()) {
    GadgetDisable(dialog.earlier);
    GadgetDisable(dialog.copyEarlier);
  } else {
    GadgetSelectItem(dialog.earlier, 0);
  }
  GadgetSetText(dialog.description, descriptions[static_cast<size_t>(record)]);
  for (const TOtherField& other : kOtherFields) {
    String value = RecordFieldValue(record, other.name);
    GadgetSetText(dialog.*other.gadget, value);
    SecureWipe(value);
    // A pair of an older kind has room for the description and password alone.
    if (!RecordsHoldMore()) GadgetDisable(dialog.*other.gadget);
  }
  if (!RecordsHoldMore()) GadgetSetText(dialog.message, S("Older kind: run quorvel --rekey to hold these fields."));
  GadgetDisable(mainWindow);
  GadgetFocus(dialog.description);
}

bool ChangeWindowHandle(int32_t id, const ObjectRef& source) {
  if (!dialog.window || !source) return false;
  if ((id == WindowClose && source == dialog.window) || (id == GadgetAction && source == dialog.cancel)) {
    Close();
    return true;
  }
  if (id == GadgetAction && source == dialog.copyEarlier) {
    std::vector<String> earlier = EarlierPasswords(dialog.record);
    const int32_t item = GadgetSelectedItem(dialog.earlier);
    if (item >= 0 && static_cast<size_t>(item) < earlier.size()) {
      const String& entry = earlier[static_cast<size_t>(item)];
      String password = entry.substr(entry.find(u' ') + 1);
      GadgetSetText(dialog.copied, password);
      SecureWipe(password);
      CopyAll(dialog.copied);
      GadgetSetText(dialog.copied, String());
    }
    for (String& entry : earlier) SecureWipe(entry);
    return true;
  }
  if (id == GadgetAction && source == dialog.ok) {
    Apply();
    return true;
  }
  if (id == GadgetAction && source == dialog.password) {
    ShowTypedStrength();
    return true;
  }
  return id == GadgetAction && (source == dialog.description || source == dialog.password ||
                                source == dialog.useGenerated || source == dialog.user || source == dialog.url ||
                                source == dialog.oneTime || source == dialog.notes || source == dialog.earlier);
}
