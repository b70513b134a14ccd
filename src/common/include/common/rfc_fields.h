// Reading the character fields of a received record: the library fills them
// blank-padded and does not terminate them.
#pragma once

#include <string>

namespace zmo {

// The text of a character field of n bytes up to its first blank or zero
// byte.
std::string fieldWord(const char* field, unsigned n);

}  // namespace zmo
