#pragma once

// The desktop clipboard as FLTK serves it, for texts that may be secrets.
// FLTK keeps its own copy of what it serves; these functions make sure that
// copy never outlives its use.

// Puts length bytes on the clipboard (Fl::copy). FLTK's previous copy is
// overwritten first, so that a longer text never makes FLTK free an unwiped
// one.
void FlCopyToClipboard(const char* bytes, int length);

// True while this process owns the clipboard, that is while it still holds
// what the program put there.
bool FlOwnsClipboard();

// Overwrites FLTK's copy of the clipboard. A clipboard this process still owns
// is given up, so it ends up empty; one that another program took meanwhile is
// left with that program.
void FlClearClipboard();
