#pragma once

#include <cstdint>

#include "runtime/Object.h"

// The windows that ask for passphrases. Every passphrase read from a field is
// wiped, in the field (FLTK's buffer) and in every copy, once it was used.

// At start-up, before the main window: asks for the passphrase of the sealed
// key file until it opens it (true: its key is then remembered) or the user
// cancels or closes the window (false). A wrong passphrase says "Wrong
// passphrase." and asks again; nothing is written either way.
bool RunUnlockWindow();

// File > "Set passphrase…": asks for the current passphrase when one is set,
// and for the new one twice. A new passphrase seals the pair (re-keyed into
// the "aes_256_gcm" kind); an empty one, once confirmed, removes the
// passphrase. Either goes through the pair commit; the status bar says what
// was done.
void OpenPassphraseWindow();

// Closes File > "Set passphrase…" without changing anything; its fields are wiped.
void ClosePassphraseWindow();

// Acts on an event of the passphrase window. True when the event was its own
// (the main loop then does nothing more with it).
bool PassphraseWindowHandle(int32_t id, const ObjectRef& source);
