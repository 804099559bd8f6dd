#include "app/windows/ChangeWindow.h"

#include "app/records/RecordFile.h"
#include "app/windows/AppGadgets.h"
#include "app/windows/RecordList.h"
#include "gui/core/Event.h"
#include "gui/core/FrontEnd.h"
#include "runtime/Wipe.h"

namespace {
const char* const kTitle = "Quorvel v1.2b";
constexpr int32_t kDialogStyle = 544;  // client-area geometry, centred
constexpr int32_t kCheckBox = 2, kOkButton = 4, kPushButton = 8, kRaisedPanel = 2;

struct TChangeDialog {
  Ref<TGadget> window, description, password, useGenerated, message, ok, cancel, generated;
  int32_t record = -1;
  TChangeDone done = nullptr;
};
TChangeDialog dialog;

void Close() {
  if (dialog.password) GadgetSetText(dialog.password, String());
  if (dialog.window) {
    GadgetHide(dialog.window);
    GadgetFree(dialog.window);
  }
  dialog = TChangeDialog();
  GadgetEnable(mainWindow);
}

// Applies the fields. False keeps the window open with a message.
bool Apply() {
  String description = TrimText(GadgetGetText(dialog.description));
  if (description.empty()) {
    GadgetSetText(dialog.message, S("Type a description."));
    return false;
  }
  if (!RecordReadable(dialog.record)) return true;
  String password = GadgetGetText(dialog.password);
  GadgetSetText(dialog.password, String());
  if (dialog.useGenerated && ButtonGetState(dialog.useGenerated) != 0) {
    SecureWipe(password);
    password = GadgetGetText(dialog.generated);
  } else if (TrimText(password).empty()) {
    SecureWipe(password);
    password = passwords[static_cast<size_t>(dialog.record)];
  }
  const int32_t record = dialog.record;
  const TChangeDone done = dialog.done;
  ChangeRecord(record, description, password);
  SecureWipe(password);
  Close();
  SaveRecords(recordCount);
  if (done) done(record);
  return true;
}
}  // namespace

void OpenChangeWindow(int32_t record, const Ref<TGadget>& generatedArea, TChangeDone done) {
  if (dialog.window || !RecordReadable(record)) return;
  dialog.window = MakeWindow(S(kTitle), 50, 50, 360, 186, nullptr, kDialogStyle);
  if (!dialog.window) return;
  dialog.record = record;
  dialog.done = done;
  dialog.generated = generatedArea;
  Ref<TGadget> panel =
      MakePanel(0, 0, GadgetClientWidth(dialog.window), GadgetClientHeight(dialog.window), dialog.window, kRaisedPanel);
  const int32_t width = GadgetClientWidth(panel) - 16;
  // Captions first among the panel's children, so that Tab goes from field to field.
  MakeLabel(S("Description"), 8, 6, width, 20, panel, 0);
  MakeLabel(S("New password (empty: keep the current one)"), 8, 54, width, 20, panel, 0);
  dialog.description = MakeTextField(8, 26, width, 22, panel, 0);
  dialog.password = MakeTextField(8, 74, width, 22, panel, TextFieldPassword);
  const bool generated = generatedArea && TextAreaLength(generatedArea, 1) > 0;
  if (generated) {
    dialog.useGenerated = MakeButton(S("Use the generated password instead"), 8, 102, width, 20, panel, kCheckBox);
    ButtonSetState(dialog.useGenerated, 1);
  }
  dialog.message = MakeLabel(String(), 8, 126, width, 20, panel, 0);
  dialog.ok = MakeButton(S("OK"), 80, 154, 90, 24, panel, kOkButton);
  dialog.cancel = MakeButton(S("Cancel"), 190, 154, 90, 24, panel, kPushButton);
  GadgetSetText(dialog.description, descriptions[static_cast<size_t>(record)]);
  GadgetDisable(mainWindow);
  GadgetFocus(dialog.description);
}

bool ChangeWindowHandle(int32_t id, const ObjectRef& source) {
  if (!dialog.window || !source) return false;
  if ((id == WindowClose && source == dialog.window) || (id == GadgetAction && source == dialog.cancel)) {
    Close();
    return true;
  }
  if (id == GadgetAction && source == dialog.ok) {
    Apply();
    return true;
  }
  return id == GadgetAction &&
         (source == dialog.description || source == dialog.password || source == dialog.useGenerated);
}
