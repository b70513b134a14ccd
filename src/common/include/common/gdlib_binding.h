// Run-time binding of zmogdlib.so: the collectors load it from BinDir at the
// first password they need, resolve only Decrypt, and call it with a key
// that is put together from pieces at run time, so the key never stands whole
// in the program file.
//
// The binding is locked: zmoLoaderFreeGdLib (called by the stop request on
// the control thread) waits until a decryption in progress on the service
// thread has left the library, then forgets handle and entry so that a later
// decryption loads the library again.
#pragma once

#include <cstddef>

namespace zmo {

constexpr const char* kGdLibName = "zmogdlib.so";
// Length of the run-time key, and the buffer that holds it with its NUL.
constexpr size_t kDecryptKeyLength = 21;
constexpr size_t kDecryptKeySize = kDecryptKeyLength + 1;
// A stored text shorter than this is not a scrambled password.
constexpr size_t kMinScrambledLength = 9;

// The material of the run-time key: nine pieces of four characters and a
// separator, as working copies that the key builder may reverse in place.
struct KeyPieces {
  char piece[9][5];
  char separator;
};

// BinDir as the program's registry reader found it (with or without its
// trailing separator); zmogdlib.so is loaded from there.
void setGdLibDirectory(const char* bin_dir);

// Loads <BinDir>zmogdlib.so and resolves Decrypt. 0 when the library was
// loaded, 1 when not.
int zmoLoaderGdLib();
// Unloads it and forgets handle and entry. 0 on success, 1 when nothing was
// loaded or the unload failed.
int zmoLoaderFreeGdLib();

// The clear password of a scrambled text, or nullptr when the input is
// missing or shorter than kMinScrambledLength (the library is then not
// loaded), when the library or its Decrypt cannot be had, or when Decrypt
// rejects the text. The result stays valid until the next call.
const char* zmodecrypt(const char* scrambled);

// Copies the stored key pieces and separator into working buffers.
void loadKeyPieces(KeyPieces* pieces);
// Writes the run-time key and its NUL into key (kDecryptKeySize bytes).
void buildDecryptKey(char* key);

// True while zmogdlib is loaded (for tests and the stop request's trace).
bool GdLibLoaded();

// Unloads the library without tracing and forgets the directory.
void ResetGdLibBinding();

}  // namespace zmo

// Reverses a NUL-terminated text in place and returns it (nullptr stays
// nullptr). Exported by the collectors under this name.
extern "C" char* strrev(char* text);
