#pragma once

#include <cstdint>
#include <vector>

#include "runtime/String.h"

// The password records: two parallel arrays in file order, which is also the
// order of the records combo box (an item's index is the record's index).
// Descriptions are held trimmed; a password is held as it came and trimmed
// when saved.
extern int32_t recordCount;
extern std::vector<String> descriptions;
extern std::vector<String> passwords;

extern const char16_t* const kSaveFailedMessage;  // "Error while trying to save the password record."

// Loads "quorvel.dat", two lines per record (description, password). When
// recordsEncrypted is false the file is legacy plain text: its trimmed fields
// are saved encrypted at once, together with a fresh key file (CommitNewPair).
// A missing or unreadable file means no records. Returns false only when that
// migration failed (the plain file is then left exactly as it was, without a
// key file).
bool LoadRecords(bool recordsEncrypted);

// Replaces "quorvel.dat" with records 0 to count - 1, each trimmed field
// encrypted on its own line. Every field is encrypted before anything is
// written; when any encryption fails, or the file cannot be replaced whole,
// the old file stays as it was, the main window's status bar says
// kSaveFailedMessage and the answer is 0. Otherwise 1.
//
// A field whose stored line could not be decrypted when it was loaded is
// written back as that same line, so a key-file mix-up never overwrites the
// stored ciphertext with the sentinel it produced.
int32_t SaveRecords(int32_t count);

// Every field of records 0 to count - 1, trimmed and encrypted under keyFile
// (read once), two lines per record. False when any encryption answered a
// sentinel.
bool EncryptRecordLines(int32_t count, const String& keyFile, std::vector<String>& lines);
// Replaces the file at path with lines (TAtomicFile); false leaves it as it was.
bool WriteRecordLines(const String& path, const std::vector<String>& lines);

// Removes record index (of count records) from both arrays and refills the
// records combo box; returns 1, after which the caller lowers recordCount and
// saves. An index that is not a record's index, or no records, changes
// nothing and answers 0: the caller then neither lowers the count nor saves.
int32_t DeleteRecord(int32_t index, int32_t count);

// Removes every character with code 32 or less (space and control
// characters) from both ends.
String TrimText(const String& text);

// The records of which a field could not be decrypted (changed, swapped,
// damaged, or under another key), by index; their stored lines are saved as
// they are.
std::vector<int32_t> UnreadableRecords();
// The status-bar text that names them ("Record 3 could not be read ..."); empty
// when every record was read.
String UnreadableRecordsMessage();
// What the records list shows for a record: its description, or "Record N:
// not readable" when a field of it could not be decrypted.
String RecordLabel(int32_t index);
// False for an index outside the records and for a record that could not be
// read: its password is never shown or copied.
bool RecordReadable(int32_t index);
