#pragma once

#include "runtime/Object.h"
#include "runtime/Stream.h"
#include "runtime/String.h"

namespace evp {

// Digests of a string (characters narrowed to their low 8 bits) or of a
// stream read to its end, as upper-case hexadecimal. An empty string, no
// input or any failing library step gives the empty string.
String MD5Text(const String& text);
String MD5Text(const Ref<TStream>& stream);
String SHAText(const String& text);
String SHAText(const Ref<TStream>& stream);
String SHA1Text(const String& text);
String SHA1Text(const Ref<TStream>& stream);
String DSSText(const String& text);
String DSSText(const Ref<TStream>& stream);
String DSS1Text(const String& text);
String DSS1Text(const Ref<TStream>& stream);
String RIPEMD160Text(const String& text);
String RIPEMD160Text(const Ref<TStream>& stream);

}  // namespace evp
