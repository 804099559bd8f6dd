#pragma once

// "quorvel --rekey": re-encrypts every record in the data folder under a
// fresh key file of the kind new key files have (AES-256-CBC), replacing key
// file and record file together. No window; what it did goes to the console.
// Returns the exit status: 0 when done, 1 when it refused and changed
// nothing (another copy is running, a field does not decrypt, or there is
// nothing to re-key).
int QuorvelRekey();
