#pragma once

// "quorvel --import FILE" and "quorvel --export FILE": the pair is opened as
// for "--rekey" (a sealed key file asks for its passphrase), the outcome is
// one line (on standard output when done, exit 0; on standard error
// otherwise, exit 1).
int QuorvelImport(const char* path);
int QuorvelExport(const char* path);
