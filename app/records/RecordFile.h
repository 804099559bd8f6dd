#pragma once

#include <cstdint>
#include <vector>

#include "app/records/MemorySeal.h"
#include "app/records/PairCommit.h"
#include "app/records/RecordFields.h"
#include "runtime/String.h"

// The password records: two parallel arrays in file order. Descriptions are
// held trimmed; a password is held as it came and trimmed when saved. Each
// record also has an id and whatever else its file holds (fields of other
// names, stored lines of fields that could not be decrypted), kept beside the
// arrays. What shows them is told of every change through RecordView.
extern int32_t recordCount;
extern std::vector<String> descriptions;
// Passwords are held sealed (MemorySeal): RecordPassword opens one.
extern std::vector<TSecret> passwords;

extern const char16_t* const kSaveFailedMessage;  // "Error while trying to save the password record."

enum class TLoadResult {
  Loaded,
  Refused,          // quorvel.dat or quorvel.key is no regular file, or too large (RecordFileRefusal)
  MigrationFailed,  // the plain file is left exactly as it was, without a key file
};

// Loads "quorvel.dat" with the key of the pair (PairKey, read now unless it
// is held already). When recordsEncrypted is false the file is legacy plain
// text: its trimmed fields are saved encrypted at once, together with a
// fresh key file (CommitNewPair). A missing file means no records.
TLoadResult LoadRecords(bool recordsEncrypted);
// Why the last load was refused, as a sentence's start ("quorvel.dat is not a
// regular file ...").
String RecordFileRefusal();

// True when quorvel.dat, as last loaded, is damaged or cut short: it does not
// match its own header, so records may be missing. The first save asks
// before it writes a file without what is missing.
bool RecordFileDamaged();
// The status bar's account of that; empty when the file is whole.
String RecordFileDamageMessage();

// Replaces "quorvel.dat" with records 0 to count - 1 under the pair's key,
// all or nothing (docs/FILES.md gives the layouts). Before anything is
// written:
//   - quorvel.key must still hold the bytes read at load
//     (kKeyFileChangedMessage otherwise);
//   - a damaged file asks first (RecordViewConfirm);
//   - when the file on disk is no longer the one last read or written (a
//     sync tool renamed another copy over it), it is merged first
//     (MergeChangesMadeElsewhere), and so are the conflict copies sync tools
//     left beside it (ConflictCopies): their records come in, and each copy
//     merged is renamed to "<its name>.merged" once the save is done.
// The file's identity is checked once more right before it is replaced; a
// copy renamed over it meanwhile is merged too. A failure leaves the file as
// it was, answers 0 and reports why; that message stays at the front of the
// status bar until a save succeeds (RecordsUnsaved). Otherwise 1, and the
// status bar says what was merged (lastMergeStatus).
int32_t SaveRecords(int32_t count);
// The merge step of SaveRecords alone, for a writer of the whole pair: when
// quorvel.dat changed on disk, merges it into records 0 to count - 1 and
// answers the new count; otherwise answers count. A descendant of the file
// last read or written is merged three ways; an older copy (a lower
// generation, another file id, an older layout, a damaged file) never
// deletes a record or takes back an older version. -1 when the disk version
// cannot be read (the status bar then says so, and nothing must be written).
int32_t MergeChangesMadeElsewhere(int32_t count);
// What the last SaveRecords merged ("quorvel.dat was changed elsewhere and
// merged: ..."), or why it wrote nothing; empty when it found no change.
extern String lastMergeStatus;
// Whether the last SaveRecords merged, and so replaced the records held.
extern bool lastSaveMerged;
// Saves at once when sync tools left conflict copies beside quorvel.dat, so
// that their records come in (start-up calls it once the window is up).
void MergeConflictCopiesNow();

// True while the last change could not be saved.
bool RecordsUnsaved();
// text for the status bar, after the failure that keeps a change unsaved.
String RecordStatusLine(const String& text);

// Writes records 0 to count - 1 under a fresh key of the "aes_256_gcm" kind
// with the key file (PairCommit), in a new file (a fresh file id); with a
// passphrase the new key file is sealed under it. The new key is held from
// then on. Every record must be readable (RecordReadable): a field that
// could not be decrypted has no plaintext to re-encrypt.
PairResult CommitNewPair(int32_t count, const String* passphrase = nullptr);

// Records 0 to count - 1 as a record file holds them (trimmed fields).
std::vector<TRecordFields> HeldRecords(int32_t count);

// Removes record index (of count records) from both arrays and tells the
// view; returns 1, after which the caller lowers recordCount and
// saves. An index that is not a record's index, or no records, changes
// nothing and answers 0: the caller then neither lowers the count nor saves.
int32_t DeleteRecord(int32_t index, int32_t count);

// Gives record index (a readable one) a new description, held trimmed, and a
// new password; an old password that differs is kept among the earlier
// ones, and the changed time is set. Tells the view. Answers 0,
// changing nothing, for an index that is not a readable record's.
int32_t ChangeRecord(int32_t index, const String& description, const String& password);

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
// A readable record's password, opened (the caller wipes it); empty for any
// other index.
String RecordPassword(int32_t index);
// The value of a readable record's field of another name (kUserNameField,
// ...); empty when it has none.
String RecordFieldValue(int32_t index, const char16_t* name);
// Keeps record index's password as its newest earlier password (at most
// kHistoryKept are kept, the oldest goes); ChangeRecord does it whenever the
// password changes. A pair of an older kind keeps none.
void KeepEarlierPassword(int32_t index);
// Record index's earlier passwords, newest first, each "<time> <password>"
// (the caller wipes them).
std::vector<String> EarlierPasswords(int32_t index);
// Sets record index's changed time to now, and with made its created time
// too (a pair of an older kind holds no times).
void RecordStamp(int32_t index, bool made);
// Gives record index a field of that name with value (replacing the one it
// has; an empty value removes it). Records of an older kind's pair are never
// saved with such fields.
void RecordSetField(int32_t index, const char16_t* name, const String& value);
// Whether the pair can hold fields besides the description and password
// (its kind is the current one).
bool RecordsHoldMore();
// Whether any record holds a field of that name.
bool RecordsHoldField(const char16_t* name);

// A record's id, kept through saves, merges and a lock (0 outside the
// records), and the index of the record of an id (-1 when none has it).
uint64_t RecordId(int32_t index);
int32_t RecordIndexOfId(uint64_t id);

// Locks the records of a sealed pair: they are kept only as a record file's
// lines sealed under the pair's key, in memory, and every field, the record
// key and the unlocked key are wiped; recordCount is 0. False, changing
// nothing, for a pair without a passphrase or when sealing fails.
bool RecordsLock();
bool RecordsLocked();
// Once the key file is unlocked again (PairKeyUnlock): the records as they
// were locked, with a change made to quorvel.dat meanwhile merged in. False
// while the key does not open them; they stay locked then.
bool RecordsUnlock();
