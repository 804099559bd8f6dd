#pragma once

// Brings the cipher binding up once: loads libcrypto's "legacy" provider (RC4,
// Blowfish, CAST5, DES, RC2) and its "default" provider beside it. Later calls
// return at once. Returns false when a provider could not be loaded.
bool CryptoInit();
