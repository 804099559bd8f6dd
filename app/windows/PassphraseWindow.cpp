#include "app/windows/PassphraseWindow.h"

#include <stdlib.h>

#include <optional>
#include <vector>

#include "app/records/KeyFile.h"
#include "app/records/PairCommit.h"
#include "app/records/PairKey.h"
#include "app/records/RecordFile.h"
#include "app/windows/AppGadgets.h"
#include "app/windows/RecordList.h"
#include "gui/core/Event.h"
#include "gui/core/EventQueue.h"
#include "gui/core/FrontEnd.h"
#include "gui/core/Gadget.h"
#include "runtime/Wipe.h"
#include "system/SystemDriver.h"

namespace {
const char* const kTitle = "Quorvel v1.2b";
constexpr int32_t kDialogStyle = 544;  // client-area geometry, centred
constexpr int32_t kOkButton = 4, kPushButton = 8, kRaisedPanel = 2;

// A passphrase taken out of a field: the field is emptied (and its buffer
// wiped) at once, the copy when this goes.
struct TTakenText {
  String text;
  explicit TTakenText(const Ref<TGadget>& field) : text(GadgetGetText(field)) { GadgetSetText(field, String()); }
  ~TTakenText() { SecureWipe(text); }
  TTakenText(const TTakenText&) = delete;
  TTakenText& operator=(const TTakenText&) = delete;
};

struct TDialog {
  Ref<TGadget> window, panel, current, fresh, again, message, ok, cancel;
  bool sealed = false;

  // Hidden fields with a caption above each, from top down. The captions
  // come first among the panel's children, so that Tab goes from field to
  // field.
  void Build(const char* intro, int32_t fields) {
    const int32_t height = 92 + 48 * fields;
    window = MakeWindow(S(kTitle), 50, 50, 340, height, nullptr, kDialogStyle);
    if (!window) return;
    panel = MakePanel(0, 0, GadgetClientWidth(window), GadgetClientHeight(window), window, kRaisedPanel, String());
    const int32_t width = GadgetClientWidth(panel) - 16;
    MakeLabel(S(intro), 8, 6, width, 20, panel, 0);
    const char* captions[] = {"Passphrase", "Current passphrase", "New passphrase (empty: remove the passphrase)",
                              "New passphrase again"};
    Ref<TGadget>* targets[] = {&current, &current, &fresh, &again};
    // The rows this window has: the passphrase alone, or the current one
    // (when one is set) and the new one twice.
    std::vector<int32_t> rows = fields == 1 ? std::vector<int32_t>{0} : std::vector<int32_t>{2, 3};
    if (fields == 3) rows.insert(rows.begin(), 1);
    for (size_t i = 0; i < rows.size(); ++i)
      MakeLabel(S(captions[rows[i]]), 8, 30 + 48 * static_cast<int32_t>(i), width, 20, panel, 0);
    for (size_t i = 0; i < rows.size(); ++i)
      *targets[rows[i]] = MakeTextField(8, 50 + 48 * static_cast<int32_t>(i), width, 22, panel, TextFieldPassword);
    const int32_t y = 30 + 48 * fields;
    message = MakeLabel(String(), 8, y, width, 20, panel, 0);
    ok = MakeButton(S("OK"), 70, y + 28, 90, 24, panel, kOkButton);
    cancel = MakeButton(S("Cancel"), 180, y + 28, 90, 24, panel, kPushButton);
    GadgetFocus(current ? current : fresh);
    // No other client on the display sees the keys typed here.
    WindowGrabKeyboard(window);
  }

  void Say(const char* text) {
    GadgetSetText(message, S(text));
    GadgetFocus(current ? current : fresh);
  }

  void Close() {
    for (Ref<TGadget>* field : {&current, &fresh, &again})
      if (*field) GadgetSetText(*field, String());
    if (window) {
      WindowGrabKeyboard(nullptr);
      GadgetHide(window);
      GadgetFree(window);
    }
    *this = TDialog();
  }
};

TDialog setDialog;

// Applies the set-passphrase window's fields. False keeps the window open
// with a message in it.
bool ApplyNewPassphrase() {
  std::optional<TTakenText> current;
  if (setDialog.current) current.emplace(setDialog.current);
  TTakenText fresh(setDialog.fresh), again(setDialog.again);
  if (current && !PairKeyUnlock(current->text)) {
    setDialog.Say("Wrong passphrase.");
    return false;
  }
  if (fresh.text != again.text) {
    setDialog.Say("The new passphrases differ.");
    return false;
  }
  if (fresh.text.empty() && !setDialog.sealed) {
    setDialog.Say("Type a new passphrase.");
    return false;
  }
  if (!UnreadableRecords().empty()) {
    setDialog.Say("A record could not be read, so nothing was changed.");
    return false;
  }
  if (fresh.text.empty() &&
      SystemConfirm(S("Remove the passphrase? Anyone who has quorvel.key can then read the records."), 1) != 1)
    return false;
  const bool removing = fresh.text.empty();
  // Records another machine added meanwhile go into the new pair too.
  const int32_t count = MergeChangesMadeElsewhere(recordCount);
  if (count < 0) return true;
  const PairResult result = CommitNewPair(count, removing ? nullptr : &fresh.text);
  if (result == PairResult::KeyChanged) {
    StatusSay(kKeyFileChangedMessage);
    return true;
  }
  if (result != PairResult::Done) {
    StatusSay(S("The passphrase could not be changed: quorvel.key and quorvel.dat could not be written."));
    return true;
  }
  const String done = removing ? S("The passphrase was removed.") : S("The passphrase was set.");
  StatusSay(lastSaveMerged ? done + S(" ") + lastMergeStatus : done);
  return true;
}
}  // namespace

bool RunUnlockWindow() {
  TDialog dialog;
  dialog.Build("quorvel.key is locked. Enter its passphrase.", 1);
  if (!dialog.window) return false;
  for (;;) {
    const int32_t id = EventQueueWait();
    const ObjectRef source = CurrentEventSource();
    if ((id == WindowClose && source == dialog.window) || (id == GadgetAction && source == dialog.cancel)) {
      dialog.Close();
      return false;
    }
    if (id == GadgetAction && source == dialog.ok) {
      bool opened;
      {
        TTakenText passphrase(dialog.current);
        opened = PairKeyUnlock(passphrase.text);
      }
      if (opened) {
        dialog.Close();
        return true;
      }
      dialog.Say("Wrong passphrase.");
    }
  }
}

void OpenPassphraseWindow() {
  if (setDialog.window) return;
  setDialog.sealed = PairKeySealed();
  setDialog.Build(
      setDialog.sealed ? "Change or remove the passphrase of quorvel.key." : "Lock quorvel.key with a passphrase.",
      setDialog.sealed ? 3 : 2);
  if (!setDialog.window) return;
  GadgetDisable(mainWindow);
  GadgetFocus(setDialog.current ? setDialog.current : setDialog.fresh);
}

void ClosePassphraseWindow() {
  if (!setDialog.window) return;
  setDialog.Close();
  GadgetEnable(mainWindow);
}

bool PassphraseWindowHandle(int32_t id, const ObjectRef& source) {
  if (!setDialog.window || !source) return false;
  const bool closing =
      (id == WindowClose && source == setDialog.window) || (id == GadgetAction && source == setDialog.cancel);
  if (!closing && !(id == GadgetAction && source == setDialog.ok)) {
    return id == GadgetAction &&
           (source == setDialog.current || source == setDialog.fresh || source == setDialog.again);
  }
  if (closing || ApplyNewPassphrase()) {
    setDialog.Close();
    GadgetEnable(mainWindow);
  }
  return true;
}
