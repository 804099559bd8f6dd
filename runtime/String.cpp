#include "runtime/String.h"

std::string NarrowString(const String& text) {
  std::string out;
  out.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i] & 0xFF);
  return out;
}

String WidenString(std::string_view bytes) {
  String out;
  out.resize(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[i]));
  return out;
}

ByteArray StringToBytes(const String& text) {
  ByteArray out(text.size());
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<uint8_t>(text[i] & 0xFF);
  return out;
}

String BytesToString(const uint8_t* bytes, size_t count) {
  String out;
  out.resize(count);
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<char16_t>(bytes[i]);
  return out;
}

String IntToString(int64_t value) { return WidenString(std::to_string(value)); }
