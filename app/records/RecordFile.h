#pragma once

#include <cstdint>
#include <vector>

#include "app/records/PairCommit.h"
#include "runtime/String.h"

// The password records: two parallel arrays in file order. Descriptions are
// held trimmed; a password is held as it came and trimmed when saved. What
// shows them is told of every change through RecordView.
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
// encrypted on its own line.
//
// When the file on disk is no longer the one last read or written (its
// device, inode, size or modification time differ: another machine's copy
// came in through a sync tool), the disk version is read with the key file
// and merged first (RecordMerge: base what was last read or written, ours
// records 0 to count - 1, theirs the disk): the merged records replace the
// arrays (recordCount included) and the view is told, and after the save the
// status bar says what the merge did (lastMergeStatus). When the disk version
// holds a field that does not decrypt and is not one this program already
// keeps as a stored line (the key file was changed elsewhere, say), nothing
// is written, the records stay as they are, the status bar says so and the
// answer is 0. A file that was removed meanwhile is simply written anew. Every field is encrypted before anything is
// written; when any encryption fails, or the file cannot be replaced whole,
// the old file stays as it was, the view's status bar says
// kSaveFailedMessage and the answer is 0. Otherwise 1.
//
// A field whose stored line could not be decrypted when it was loaded is
// written back as that same line, so a key-file mix-up never overwrites the
// stored ciphertext with the sentinel it produced.
int32_t SaveRecords(int32_t count);
// The merge step of SaveRecords alone, for a writer of the whole pair: when
// quorvel.dat changed on disk, merges it into records 0 to count - 1 and
// answers the new count; otherwise answers count. -1 when the disk version
// cannot be read (the status bar then says so, and nothing must be written).
int32_t MergeChangesMadeElsewhere(int32_t count);
// What the last SaveRecords merged ("quorvel.dat was changed elsewhere and
// merged: ..."), or why it wrote nothing; empty when it found no change.
extern String lastMergeStatus;
// Whether the last SaveRecords merged, and so replaced the records held.
extern bool lastSaveMerged;
// Records 0 to count - 1 are now what the record file holds (a pair commit
// wrote them): the base of the next merge and the file's identity are taken.
void RecordFileWritten(int32_t count);

// Writes records 0 to count - 1 under a fresh key of the "aes_256_gcm" kind
// with the key file (PairCommit); with a passphrase the new key file is
// sealed under it. Whatever the outcome, only the key of the key file then in
// place stays unlocked. Every record must be readable (RecordReadable): a
// field that could not be decrypted has no plaintext to re-encrypt.
PairResult CommitNewPair(int32_t count, const String* passphrase = nullptr);

// Every field of records 0 to count - 1, trimmed and encrypted under keyFile
// (read once), two lines per record. False when any encryption answered a
// sentinel.
bool EncryptRecordLines(int32_t count, const String& keyFile, std::vector<String>& lines);
// Replaces the file at path with lines (TAtomicFile); false leaves it as it was.
bool WriteRecordLines(const String& path, const std::vector<String>& lines);

// Removes record index (of count records) from both arrays and tells the
// view; returns 1, after which the caller lowers recordCount and
// saves. An index that is not a record's index, or no records, changes
// nothing and answers 0: the caller then neither lowers the count nor saves.
int32_t DeleteRecord(int32_t index, int32_t count);

// Gives record index (a readable one) a new description, held trimmed, and a
// new password; the old password is wiped. Tells the view. Answers 0,
// changing nothing, for an index that is not a readable record's.
int32_t ChangeRecord(int32_t index, const String& description, const String& password);

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
