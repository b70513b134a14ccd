// The one conversion between the Windows-1252 bytes of the data files, the
// registry and the catalog, and the Unicode text of the widgets. Latin-1
// except 0x80-0x9F, which have a table of their own.
#pragma once

#include <string>
#include <string_view>

namespace zmo::config {

std::u16string Cp1252ToUtf16(std::string_view bytes);
std::string Cp1252ToUtf8(std::string_view bytes);

// Characters that Windows-1252 cannot hold become "?".
std::string Utf16ToCp1252(std::u16string_view text);
std::string Utf8ToCp1252(std::string_view text);

// Upper case by the same code page: zmo::cp1252Upper (common/data_files.h),
// which the exclusion lists' reader shares.

}  // namespace zmo::config
