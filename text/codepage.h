#pragma once
// Handheld texts are bytes in the handheld's code page (Windows-1251 by default).
// They are stored and exchanged unchanged; these convert them for display only.
#include <string>
#include <string_view>

namespace quillet::text {

// Windows-1251 bytes to UTF-8. Bytes the code page leaves undefined (0x98) become U+FFFD.
std::string cp1251ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1251; characters without a code point there become '?'.
// Malformed UTF-8 sequences become '?' as well.
std::string utf8ToCp1251(std::string_view utf8);

}  // namespace quillet::text
