#include "app/windows/RecordList.h"

#include <algorithm>

#include "app/records/RecordFile.h"
#include "app/records/RecordFilter.h"
#include "app/records/RecordView.h"
#include "app/windows/AppGadgets.h"
#include "gui/core/FrontEnd.h"
#include "system/SystemDriver.h"

std::vector<int32_t> shownRecords;

namespace {
String findText;

// Sets shownRecords: the records whose label contains the find text.
void ShowFoundRecords() {
  const size_t n = std::min({static_cast<size_t>(std::max(recordCount, 0)), descriptions.size(), passwords.size()});
  if (n == descriptions.size() && UnreadableRecords().empty()) {
    shownRecords = RecordFilter(descriptions, findText);
  } else {
    std::vector<String> labels;
    labels.reserve(n);
    for (size_t i = 0; i < n; ++i) labels.push_back(RecordLabel(static_cast<int32_t>(i)));
    shownRecords = RecordFilter(labels, findText);
  }
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
