// The configurator's wrappers over zmogdlib's four exports: configuration
// values by name and password scrambling with the configurator's key. Texts
// are Windows-1252 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zmo::config {

// The key every password the configurator scrambles is made with.
constexpr const char* kScrambleKey = "Qortane4_Brelmuskand7";

// The longest text the exports take or give (their buffers hold 255 bytes
// with the NUL).
constexpr size_t kRegTextMax = 254;

// Result codes of SetRegValue besides zmogdlib's own (1, 5).
constexpr int kRegOk = 0;
constexpr int kRegValueTooLong = 1000;  // refused: over kRegTextMax characters

// The value's text; "" when the key or the value is missing. A stored text
// longer than kRegTextMax is refused with a message and reads as "" (the
// export would give it cut, and a cut value would be written back).
std::string GetRegValue(const std::string& name);

// Stores value under name. A value longer than kRegTextMax is refused with a
// message (nothing is stored, never a cut value) and gives kRegValueTooLong;
// a failed write shows ShowRegistryError and gives the export's code.
int SetRegValue(const std::string& name, const std::string& value);

// The catalog id of the message for a registry error code, or 0 when the
// code has none.
int RegistryErrorTextId(std::int32_t code);
// Shows that message in an OK box; any other code shows nothing.
void ShowRegistryError(std::int32_t code);

// Unscrambles the trimmed text. An empty result shows 1447 in the status
// line and is returned all the same.
std::string DecryptText(const std::string& text);

// Scrambles the trimmed text. An empty result shows 1448 in the status line
// and is returned. A text longer than a scrambled field can hold is refused
// the same way (empty result, 1448) instead of being cut.
std::string EncryptText(const std::string& text);

// The longest password whose scrambled text fits width characters (a server
// record's 30, a registry value's 254): a longer one would be cut when
// stored and could never be unscrambled, so the pages refuse it.
size_t LongestPasswordFor(size_t width);

}  // namespace zmo::config
