#pragma once

// The commands that replace the key file and the record file together from a
// terminal, in the data folder (QuorvelDataFolder), without a window. Each
// returns the exit status: 0 when done, 1 when it refused and changed nothing
// (another copy is running, a record does not decrypt, a wrong passphrase, or
// nothing to do).
// A sealed key file is unlocked first with a passphrase read from the
// terminal without echo, or as a line of standard input when that is not a
// terminal.

// "quorvel --rekey": re-encrypts every record under a fresh key file of the
// "aes_256_gcm" kind; a sealed pair stays sealed under the same passphrase.
int QuorvelRekey();

// "quorvel --passphrase": asks for the current passphrase when one is set,
// then for the new one twice; seals the pair under it (re-keyed into the
// "aes_256_gcm" kind), or, for an empty new passphrase, removes the
// passphrase (on a terminal after a confirmation).
int QuorvelPassphrase();
