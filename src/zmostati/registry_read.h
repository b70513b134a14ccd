// Reading zmostati's values under the configuration key.
#pragma once

#include <string>

#include "platform/registry.h"

enum class StatiRead {
  kFound,
  kMissing,    // absent, unreadable, or longer than the reader takes
  kNotString,  // present but not REG_SZ
};

// Opens the configuration key under HKEY_LOCAL_MACHINE. On failure traces
// "could not open subkey <...>" (with the trace switch on for that one line)
// and returns false.
bool statiOpenConfigKey(REGSAM access, HKEY* key);
// The configuration key, open for the lifetime of the object.
class StatiConfigKey {
 public:
  StatiConfigKey() = default;
  StatiConfigKey(const StatiConfigKey&) = delete;
  StatiConfigKey& operator=(const StatiConfigKey&) = delete;
  ~StatiConfigKey() {
    if (key_) RegCloseKey(key_);
  }
  // statiOpenConfigKey on this key.
  bool Open(REGSAM access) { return statiOpenConfigKey(access, &key_); }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The configuration key's path, as the trace lines name it.
const char* statiKeyPath();

// Reads a text value of at most maxChars characters (a longer value cannot
// be read, as with a buffer of maxChars + 1 bytes).
StatiRead statiReadText(HKEY key, const char* name, size_t maxChars, std::string* out);
// statiReadText for a value the caller cannot do without: traces the
// standard failure line and returns missingCode or notStringCode, else 0.
int statiReadRequiredText(HKEY key, const char* name, size_t maxChars, int missingCode,
                          int notStringCode, std::string* out);
// True when the value exists, whatever its type.
bool statiValueExists(HKEY key, const char* name);

// The decimal number at the start of text (leading blanks and a sign
// allowed, no digits giving 0), clamped to the range of int.
int statiDecimal(const std::string& text);
long long statiDecimal64(const std::string& text);

// The two standard failure lines of the readers.
void statiTraceNotFound(const char* name);
void statiTraceNotString(const char* name);

// Traces "could not query value" and "assuming default of <n>".
void statiTraceAssumingDefault(const char* name, int value);
