// Reading zmosnap's values under the configuration key.
#pragma once

#include <string>

#include "platform/registry.h"

// How a value read went.
enum class SnapRead {
  kFound,
  kMissing,    // absent, unreadable, or too long for the reader's buffer
  kNotString,  // present but not REG_SZ
};

// The configuration key under HKEY_LOCAL_MACHINE, open for the lifetime of
// the object.
class SnapConfigKey {
 public:
  SnapConfigKey() = default;
  SnapConfigKey(const SnapConfigKey&) = delete;
  SnapConfigKey& operator=(const SnapConfigKey&) = delete;
  ~SnapConfigKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  // Opens the key for reading. On failure traces "could not open subkey
  // <...>" (even with the trace switch off) and returns false.
  bool Open();
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The configuration key's path, as the trace lines name it.
const char* snapKeyPath();

// Reads a text value into a buffer of bufferSize bytes: a value that does
// not fit with its NUL cannot be read (ERROR_MORE_DATA). *status, when
// given, gets the store's result of the read.
SnapRead snapReadText(HKEY key, const char* name, size_t bufferSize, std::string* out,
                      LONG* status = nullptr);

// snapReadText for a value the caller cannot do without: traces "could not
// query value <...>" or "value <...> has not string format" and returns
// missingCode or missingCode + 1; 0 with *out set when found.
int snapReadRequiredText(HKEY key, const char* name, size_t bufferSize, int missingCode,
                         std::string* out);

// The decimal number at the start of text: leading blanks and a sign
// allowed, no digits giving 0, saturated at the range of 64 bits.
long long snapDecimal(const std::string& text);
