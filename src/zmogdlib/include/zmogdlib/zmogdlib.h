// The four exports of zmogdlib.so, with C linkage. The configurator calls
// them directly; the console programs resolve Decrypt at run time.
#pragma once

#if defined(__GNUC__)
#define ZMOGDLIB_EXPORT __attribute__((visibility("default")))
#else
#define ZMOGDLIB_EXPORT
#endif

extern "C" {
// Scrambles plain with key into out. Returns the length written, or 0 (out
// untouched) for an empty plain text or key, or a text that would pass 254
// characters.
ZMOGDLIB_EXPORT int Encrypt(const char* plain, const char* key, char* out);
// Unscrambles text with key into out. Returns the password's length, or 0
// (out untouched) when the text is empty, malformed or was not made with key.
ZMOGDLIB_EXPORT int Decrypt(const char* text, const char* key, char* out);
// Copies the configuration value name into out (at most 254 characters and a
// NUL). Returns the copied length; 0 when the key or value cannot be read.
ZMOGDLIB_EXPORT int ReadRegistry(const char* name, char* out);
// Stores value as REG_SZ under name. Returns 0 on success, 1 when the key can
// be neither opened nor created, 5 when setting the value failed.
ZMOGDLIB_EXPORT int UpdateRegistry(const char* name, const char* value);
}

// The function types, for callers that resolve the exports at run time.
using ZmoEncryptFn = int (*)(const char*, const char*, char*);
using ZmoDecryptFn = int (*)(const char*, const char*, char*);
using ZmoReadRegistryFn = int (*)(const char*, char*);
using ZmoUpdateRegistryFn = int (*)(const char*, const char*);
