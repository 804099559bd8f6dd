#include "app/windows/SettingsWindow.h"

#include <iterator>

#include "app/settings/Settings.h"
#include "app/windows/AppGadgets.h"
#include "app/windows/RecordList.h"
#include "gui/core/Event.h"
#include "gui/core/FrontEnd.h"

namespace {
const char* const kTitle = "Quorvel v1.2b";
constexpr int32_t kDialogStyle = 544;  // client-area geometry, centred
constexpr int32_t kOkButton = 4, kPushButton = 8, kRaisedPanel = 2;

struct TSettingsDialog {
  Ref<TGadget> window, lock, clipboard, message, ok, cancel;
};
TSettingsDialog dialog;

// The window's fields, each with the setting it edits.
struct TSettingField {
  const char16_t* const* name;
  Ref<TGadget> TSettingsDialog::*field;
};
const TSettingField kFields[] = {{&kLockAfterMinutesSetting, &TSettingsDialog::lock},
                                 {&kClipboardSecondsSetting, &TSettingsDialog::clipboard}};

void Close() {
  if (dialog.window) {
    GadgetHide(dialog.window);
    GadgetFree(dialog.window);
  }
  dialog = TSettingsDialog();
  GadgetEnable(mainWindow);
}

// Puts the fields in force and saves them. False keeps the window open with
// a message; the settings in force are then those from before.
bool Apply() {
  for (const TSettingField& entry : kFields) {
    const String problem = SettingProblem(*entry.name, GadgetGetText(dialog.*entry.field));
    if (!problem.empty()) {
      GadgetSetText(dialog.message, problem);
      GadgetFocus(dialog.*entry.field);
      return false;
    }
  }
  String before[std::size(kFields)];
  for (size_t i = 0; i < std::size(kFields); ++i) {
    before[i] = SettingText(*kFields[i].name);
    SettingSet(*kFields[i].name, GadgetGetText(dialog.*kFields[i].field));
  }
  String why;
  if (!SettingsSave(&why)) {
    for (size_t i = 0; i < std::size(kFields); ++i) SettingSet(*kFields[i].name, before[i]);
    GadgetSetText(dialog.message, why);
    return false;
  }
  return true;
}
}  // namespace

void OpenSettingsWindow() {
  if (dialog.window) return;
  dialog.window = MakeWindow(S(kTitle), 50, 50, 400, 164, nullptr, kDialogStyle);
  if (!dialog.window) return;
  Ref<TGadget> panel =
      MakePanel(0, 0, GadgetClientWidth(dialog.window), GadgetClientHeight(dialog.window), dialog.window, kRaisedPanel);
  const int32_t width = GadgetClientWidth(panel) - 16;
  // Captions first among the panel's children, so that Tab goes from field to field.
  MakeLabel(S("Lock after this many minutes without input (0: never)"), 8, 6, width, 20, panel, 0);
  MakeLabel(S("Clear the clipboard after this many seconds (1 to 30)"), 8, 54, width, 20, panel, 0);
  dialog.lock = MakeTextField(8, 26, 80, 22, panel, 0);
  dialog.clipboard = MakeTextField(8, 74, 80, 22, panel, 0);
  dialog.message = MakeLabel(String(), 8, 102, width, 20, panel, 0);
  dialog.ok = MakeButton(S("OK"), 100, 132, 90, 24, panel, kOkButton);
  dialog.cancel = MakeButton(S("Cancel"), 210, 132, 90, 24, panel, kPushButton);
  for (const TSettingField& entry : kFields) GadgetSetText(dialog.*entry.field, SettingText(*entry.name));
  GadgetDisable(mainWindow);
  GadgetFocus(dialog.lock);
}

bool SettingsWindowHandle(int32_t id, const ObjectRef& source) {
  if (!dialog.window || !source) return false;
  if ((id == WindowClose && source == dialog.window) || (id == GadgetAction && source == dialog.cancel)) {
    Close();
    return true;
  }
  if (id == GadgetAction && source == dialog.ok) {
    if (Apply()) {
      Close();
      StatusSay(S("The settings were saved in quorvel.conf."));
    }
    return true;
  }
  return id == GadgetAction && (source == dialog.lock || source == dialog.clipboard);
}

void ShowSettingsNote(const String& note) {
  if (note.empty() || !mainWindow) return;
  // The status bar gives its text back as its left, centre and right parts
  // joined by tabs; the note goes after the left part's text.
  String now = WindowGetStatusText(mainWindow);
  while (!now.empty() && now.back() == u'\t') now.pop_back();
  WindowSetStatusText(mainWindow, now.empty() ? note : now + S(" ") + note);
}
