#include "zmoconfig/registry_wrappers.h"

#include "common/data_files.h"
#include "common/registry_value.h"
#include "platform/registry.h"
#include "zmoconfig/catalog.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/text_ids.h"
#include "zmogdlib/config_key.h"
#include "zmogdlib/zmogdlib.h"

namespace zmo::config {

namespace {

// The exports write at most kRegTextMax characters and a NUL; one byte more
// keeps a margin.
constexpr size_t kExportBuffer = kRegTextMax + 2;

struct RegistryError {
  std::int32_t code;
  int text_id;
};
constexpr RegistryError kRegistryErrors[] = {
    {1, 1458}, {2, 1459}, {3, 1460},  {4, 1461},   {5, 1462},
    {6, 1463}, {8, 1464}, {87, 1465}, {259, 1466},
};

std::string Trimmed(const std::string& text) { return std::string(zmo::trimBlanks(text)); }

// The configurator shows and writes back what it reads, so a value the
// export would give cut is refused: the user is told, and nothing is shown.
void ShowValueRefused(const std::string& name) {
  configUi().StatusText(kTextActionFailed);
  configUi().MessageOk(LoadResString(kTextErrorEncountered) + name);
}

// The length of the stored text of name, past the export's bound.
size_t StoredLength(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return 0;
  }
  std::string text;
  const LONG rc = zmo::ReadRegistryText(key, name.c_str(), &text);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? text.size() : 0;
}

}  // namespace

std::string GetRegValue(const std::string& name) {
  char out[kExportBuffer] = {};
  const int n = ReadRegistry(name.c_str(), out);
  if (n <= 0) return std::string();
  if (static_cast<size_t>(n) >= kRegTextMax && StoredLength(name) > kRegTextMax) {
    ShowValueRefused(name);
    return std::string();
  }
  return std::string(out, static_cast<size_t>(n) < kRegTextMax ? n : kRegTextMax);
}

int SetRegValue(const std::string& name, const std::string& value) {
  // A cut value would be stored as if it were the whole one; refuse it.
  if (value.size() > kRegTextMax || value.find('\0') != std::string::npos) {
    ShowValueRefused(name);
    return kRegValueTooLong;
  }
  const int result = UpdateRegistry(name.c_str(), value.c_str());
  if (result != 0) ShowRegistryError(result);
  return result;
}

int RegistryErrorTextId(std::int32_t code) {
  for (const RegistryError& e : kRegistryErrors) {
    if (e.code == code) return e.text_id;
  }
  return 0;
}

void ShowRegistryError(std::int32_t code) {
  const int id = RegistryErrorTextId(code);
  if (id != 0) configUi().MessageOk(LoadResString(id));
}

std::string DecryptText(const std::string& text) {
  const std::string in = Trimmed(text);
  std::string result;
  if (in.size() <= kRegTextMax) {
    char out[kExportBuffer] = {};
    const int n = Decrypt(in.c_str(), kScrambleKey, out);
    if (n > 0) result.assign(out, static_cast<size_t>(n) < kRegTextMax ? n : kRegTextMax);
  }
  if (zmo::trimBlanks(result).empty()) configUi().StatusText(kTextDecryptEmpty);
  return result;
}

std::string EncryptText(const std::string& text) {
  const std::string in = Trimmed(text);
  std::string result;
  // The export refuses a text whose scrambled form would pass its buffer;
  // a longer input is never handed to it at all.
  if (in.size() <= kRegTextMax) {
    char out[kExportBuffer] = {};
    const int n = Encrypt(in.c_str(), kScrambleKey, out);
    if (n > 0) result.assign(out, static_cast<size_t>(n) < kRegTextMax ? n : kRegTextMax);
  }
  if (zmo::trimBlanks(result).empty()) configUi().StatusText(kTextEncryptEmpty);
  return result;
}

size_t LongestPasswordFor(size_t width) {
  // The scrambled length depends on the password's length alone.
  size_t longest = 0;
  for (size_t n = 1; n <= kRegTextMax; ++n) {
    char out[kExportBuffer] = {};
    const int got = Encrypt(std::string(n, 'x').c_str(), kScrambleKey, out);
    if (got <= 0 || static_cast<size_t>(got) > width) break;
    longest = n;
  }
  return longest;
}

}  // namespace zmo::config
