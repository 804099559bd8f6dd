#pragma once

#include <cstdint>
#include <vector>

#include "runtime/String.h"

// The indices, in order, of the descriptions that contain text, ignoring
// case; all of them for an empty text. Case is ignored for ASCII letters and
// for the letters of Latin-1, whether they stand as one Latin-1 byte or as
// the two bytes UTF-8 gives them (the text the window hands over is UTF-8);
// other UTF-8 letters must match exactly.
std::vector<int32_t> RecordFilter(const std::vector<String>& descriptions, const String& text);
