#include "app/windows/RecordList.h"

#include <algorithm>

#include "app/records/RecordFile.h"
#include "app/records/RecordFilter.h"
#include "app/records/RecordView.h"
#include "app/windows/AppGadgets.h"
#include "gui/core/FrontEnd.h"
#include "runtime/Wipe.h"
#include "system/SystemDriver.h"

std::vector<int32_t> shownRecords;

namespace {
String findText;

// What find looks in for a record: its label, its user name and its web
// address, one a line (a find text has no line break, so no match spans two).
// Never its password, notes or one-time secret.
String FindText(int32_t record) {
  String label = RecordLabel(record);
  String values[2] = {RecordFieldValue(record, kUserNameField), RecordFieldValue(record, kWebAddressField)};
  String text;
  // Sized once: growing would free a copy of the user name unwiped.
  text.reserve(label.size() + values[0].size() + values[1].size() + 2);
  text = label;
  for (String& value : values) {
    if (!value.empty()) {
      text += u'\n';
      text += value;
    }
    SecureWipe(value);
  }
  return text;
}

// Sets shownRecords: the records whose find text contains the find text.
void ShowFoundRecords() {
  const size_t n = std::min({static_cast<size_t>(std::max(recordCount, 0)), descriptions.size(), passwords.size()});
  // No find text finds every record: nothing needs opening for it.
  if (findText.empty() || (n == descriptions.size() && UnreadableRecords().empty() &&
                           !RecordsHoldField(kUserNameField) && !RecordsHoldField(kWebAddressField))) {
    shownRecords = RecordFilter(descriptions, findText);
    return;
  }
  std::vector<String> texts;
  texts.reserve(n);
  for (size_t i = 0; i < n; ++i) texts.push_back(FindText(static_cast<int32_t>(i)));
  shownRecords = RecordFilter(texts, findText);
  for (String& text : texts) SecureWipe(text);
}

void AddComboItems() {
  for (int32_t record : shownRecords) GadgetAddItem(recordCombo, RecordLabel(record), 0, -1, String(), nullptr);
}

void ReportOnWindow(const String& text) {
  if (mainWindow) WindowSetStatusText(mainWindow, text);
}

bool Ask(const String& question) { return SystemConfirm(question, 1) == 1; }

const TRecordView kComboView = {RefillRecordCombo, ReportOnWindow, Ask};
}  // namespace

void StatusSay(const String& text) { ReportOnWindow(RecordStatusLine(text)); }

void RecordListInstall() { RecordViewInstall(&kComboView); }

void FindRecords(const String& text) {
  findText = text;
  const std::vector<int32_t> before = shownRecords;
  ShowFoundRecords();
  // Another letter that finds the same records leaves the list as it is.
  if (!recordCombo || (shownRecords == before && GadgetItemCount(recordCombo) == static_cast<int32_t>(before.size())))
    return;
  GadgetClearItems(recordCombo);
  AddComboItems();
}

void RefillRecordCombo() {
  ShowFoundRecords();
  if (!recordCombo) return;
  GadgetClearItems(recordCombo);
  AddComboItems();
}

int32_t ShownRecord(int32_t item) {
  return item >= 0 && static_cast<size_t>(item) < shownRecords.size() ? shownRecords[item] : -1;
}

int32_t ShownItem(int32_t record) {
  const auto at = std::lower_bound(shownRecords.begin(), shownRecords.end(), record);
  return at != shownRecords.end() && *at == record ? static_cast<int32_t>(at - shownRecords.begin()) : -1;
}
