#pragma once
// The code pages a dBase table's texts come in, and their decoding to
// UTF-8. The table's language byte (header offset 29) names its code page:
// 0x01 DOS USA (cp437), 0x02 DOS multilingual (cp850), 0x03 and 0x57
// Windows ANSI (cp1252), and the national DOS drivers on cp437 (German
// 0x0F ...) or cp850 (German secondary 0x10 ...). Any other value is
// taken as Windows ANSI.
#include <string>
#include <string_view>

enum class qzCodePage { cp1252, cp850, cp437, latin1, utf8 };

// "cp1252", "cp850", "cp437", "latin-1" or "utf-8" (case-insensitive;
// "latin1", "iso-8859-1", "utf8" as well). False for any other name.
bool qzxbase_codepage_from_name(std::string_view name, qzCodePage& page);

const char* qzxbase_codepage_name(qzCodePage page);

qzCodePage qzxbase_codepage_of_language(int language_byte);

// The bytes as UTF-8. Bytes a code page leaves undefined, and broken
// sequences in a UTF-8 text, become U+FFFD.
std::string qzxbase_to_utf8(std::string_view bytes, qzCodePage page);
