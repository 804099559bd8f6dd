#pragma once

// Brings the cipher binding up once: loads libcrypto's "default" provider
// (AES and the digests). Later calls return at once. Returns false when it
// could not be loaded.
bool CryptoInit();

// Loads libcrypto's "legacy" provider (RC4, Blowfish, CAST5, DES, RC2) beside
// the default one, the first time it is asked for. Returns false when either
// provider could not be loaded.
bool CryptoLoadLegacy();

// True once the legacy provider is loaded.
bool CryptoLegacyLoaded();
