#pragma once

#include "runtime/String.h"

// What shows the records, as the windows install it: the record model tells
// it that its list changed (refill what shows the records) and gives it a
// line for the status bar. While none is installed (start-up before the main
// window, the commands without a window) nothing is told.
struct TRecordView {
  void (*changed)();
  void (*report)(const String& text);
  // Asks a yes/no question; true for yes.
  bool (*confirm)(const String& question);
};
void RecordViewInstall(const TRecordView* view);

void RecordViewChanged();
void RecordViewReport(const String& text);
// False, asking nothing, while no view that asks is installed.
bool RecordViewConfirm(const String& question);
