#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text in this system is a sequence of 16-bit characters. Wherever it meets
// bytes (files, library calls, FLTK, ciphers) each character is narrowed to its
// low 8 bits, and each byte read becomes one character with codes 0 to 255.
using String = std::u16string;
using ByteArray = std::vector<uint8_t>;

// Low 8 bits of every character, as a byte string.
std::string NarrowString(const String& text);
// One character per byte, codes 0 to 255.
String WidenString(std::string_view bytes);
// Low 8 bits of every character, as a byte array.
ByteArray StringToBytes(const String& text);
String BytesToString(const uint8_t* bytes, size_t count);

// Shorthand for literals of plain ASCII text in code.
inline String S(const char* ascii) { return WidenString(ascii); }

String IntToString(int64_t value);
