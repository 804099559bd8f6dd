#pragma once

#include <cstdint>
#include <vector>

#include "runtime/String.h"

// The records combo box, filled from the record model: it shows the records
// whose label (RecordLabel) the find text finds, in file order, and
// shownRecords maps each of its items to a record index.
extern std::vector<int32_t> shownRecords;

// Makes the combo box and the main window's status bar what the record model
// tells of its changes (RecordViewInstall).
void RecordListInstall();

// Puts text in the main window's status bar, after the failure that keeps
// the last change unsaved (RecordStatusLine), so that no failure is hidden.
void StatusSay(const String& text);

// Sets the find text and refills the records combo box with the records whose
// label contains it, ignoring case (RecordFilter); every record for an empty
// text. No item is selected afterwards.
void FindRecords(const String& text);
// Refills the combo box for the find text in force, after the records changed.
void RefillRecordCombo();
// The record an item of the combo box shows; -1 when no item has that index.
int32_t ShownRecord(int32_t item);
// The item that shows a record; -1 when the find text hides it.
int32_t ShownItem(int32_t record);
