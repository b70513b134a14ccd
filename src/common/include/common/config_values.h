// Reading the collectors' values under the configuration key: the key held
// open, text values with the length the program's buffer takes, and the
// standard lines the readers trace. The rows of config_table.h read through
// these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace zmo {

// How reading one value went.
enum class ConfigRead {
  kFound,
  kMissing,    // absent, unreadable, or longer than the reader takes
  kNotString,  // present but not REG_SZ
};

// The configuration key under HKEY_LOCAL_MACHINE, open for the lifetime of
// the object.
class ConfigKey {
 public:
  ConfigKey() = default;
  ConfigKey(const ConfigKey&) = delete;
  ConfigKey& operator=(const ConfigKey&) = delete;
  ~ConfigKey();

  // Opens the key with access. On failure traces "could not open subkey
  // <...>" (with the trace switch on for that one line, since without the
  // key nothing runs) and returns false.
  bool Open(REGSAM access = KEY_QUERY_VALUE);
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// What a collector's registry reader returns when the key does not open;
// its other codes count on from 2.
constexpr int kConfigKeyNotOpened = 1;

// Reads a text value of at most maxChars characters (std::string::npos: any
// length); a longer one cannot be read, as with a buffer of maxChars + 1
// bytes. *status, when given, gets the store's result of the read, or
// ERROR_MORE_DATA for a value that is too long. *out is set only when found.
ConfigRead readConfigText(HKEY key, const char* name, size_t maxChars, std::string* out,
                          LONG* status = nullptr);

// readConfigText that takes the value whatever its stored type: its bytes
// up to the first NUL. Never kNotString.
ConfigRead readConfigBytes(HKEY key, const char* name, size_t maxChars, std::string* out);

// True when the value is text and exactly "True", as every switch is on.
bool configSwitchOn(HKEY key, const char* name);

// True when the value exists, whatever its type.
bool configValueExists(HKEY key, const char* name);

// The text of a number setting: without the blanks and tabs around it and
// without the CR and LF of a line end after it.
std::string_view numberSettingText(std::string_view text);

// The decimal number at the start of text (leading blanks and a sign
// allowed, no digits giving 0), saturated at the range of 64 bits, or
// clamped to the range of int.
long long configDecimal64(const std::string& text);
int configDecimal(const std::string& text);

// The standard lines of a reader that reads without a row (config_table.h),
// through writeTrace: "could not query value <name> for subkey <key>" and
// "value <name> for subkey <key> has not string format".
void traceValueNotFound(const char* name);
void traceValueNotString(const char* name);

}  // namespace zmo
