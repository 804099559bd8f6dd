#pragma once

// Using the records from a terminal or a script, beside the files, with no
// window; a sealed pair asks for its passphrase as "--rekey" does.
//   quorvel --list         every record's description, one a line, in file order;
//   quorvel --show TEXT    the one record whose description contains TEXT,
//                          ignoring case: its password on the first line, then
//                          "User name: ...", "Web address: ..." and
//                          "One-time code: ..." when it has them, then
//                          "Notes:" and its notes;
//   quorvel --totp TEXT    that record's current one-time code alone.
// No record or several matching: the matching descriptions go to standard
// error, and the status is 1.
int QuorvelList();
int QuorvelShow(const char* text);
int QuorvelTotp(const char* text);
