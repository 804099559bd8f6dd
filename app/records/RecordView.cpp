#include "app/records/RecordView.h"

namespace {
const TRecordView* installed = nullptr;
}  // namespace

void RecordViewInstall(const TRecordView* view) { installed = view; }

void RecordViewChanged() {
  if (installed && installed->changed) installed->changed();
}

void RecordViewReport(const String& text) {
  if (installed && installed->report) installed->report(text);
}

bool RecordViewConfirm(const String& question) {
  return installed && installed->confirm && installed->confirm(question);
}
