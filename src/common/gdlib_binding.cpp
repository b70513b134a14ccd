#include "common/gdlib_binding.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"

namespace zmo {
namespace {

// Nine pieces, five of them used; pieces 2 and 0 are stored reversed.
constexpr char kStoredPieces[9][5] = {"ksum", "Xv7q", "4ena", "mPe2", "and7",
                                      "t9Lw", "Qort", "Hy4c", "Brel"};
constexpr char kStoredSeparator = '_';

// A line of the binding, to the writer the program named.
__attribute__((format(printf, 1, 2))) void GdTrace(const char* format, ...) {
  char line[kTraceLineMax];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) return;
  const auto trace = Runtime().program.gdlib_trace;
  (trace != nullptr ? trace : writeTrace)("%s", line);
}

ZmoDecryptFn ResolveDecrypt(HMODULE handle) {
  return reinterpret_cast<ZmoDecryptFn>(GetProcAddress(handle, "Decrypt"));
}

// Loads the library and resolves Decrypt; the caller holds the lock.
int LoadLocked(GdLibState& g) {
  std::string path = JoinPath(g.bin_dir, kGdLibName);
  if (Runtime().program.trace_gdlib_trying) {
    GdTrace("zmoLoaderGdLib() trying <%s>\n", path.c_str());
  }
  if (g.handle == nullptr) g.handle = LoadLibraryA(path.c_str());
  g.decrypt = g.handle != nullptr ? ResolveDecrypt(g.handle) : nullptr;
  if (g.handle != nullptr) {
    GdTrace("zmoLoaderGdLib() loaded <%s>\n", path.c_str());
    return 0;
  }
  GdTrace("zmoLoaderGdLib() could NOT load <%s>\n", path.c_str());
  return 1;
}

}  // namespace

void setGdLibDirectory(const char* bin_dir) {
  GdLibState& g = Runtime().gdlib;
  std::lock_guard<std::mutex> lock(g.mu);
  g.bin_dir = bin_dir != nullptr ? bin_dir : "";
}

int zmoLoaderGdLib() {
  GdLibState& g = Runtime().gdlib;
  std::lock_guard<std::mutex> lock(g.mu);
  return LoadLocked(g);
}

int zmoLoaderFreeGdLib() {
  GdLibState& g = Runtime().gdlib;
  BOOL freed;
  {
    std::lock_guard<std::mutex> lock(g.mu);
    freed = FreeLibrary(g.handle);
    g.handle = nullptr;
    g.decrypt = nullptr;
  }
  if (freed) {
    GdTrace("zmoLoaderFreeGdLib() returned successfully\n");
    return 0;
  }
  GdTrace("zmoLoaderFreeGdLib() returned unsuccessfully\n");
  return 1;
}

const char* zmodecrypt(const char* scrambled) {
  if (scrambled == nullptr || std::strlen(scrambled) < kMinScrambledLength) return nullptr;

  char key[kDecryptKeySize];
  buildDecryptKey(key);
  const ConsoleProgramConfig& program = Runtime().program;
  GdLibState& g = Runtime().gdlib;
  const char* result = nullptr;
  {
    std::lock_guard<std::mutex> lock(g.mu);
    if (g.handle == nullptr) {
      if (program.trace_decrypt_loading) GdTrace("zmodecrypt() Loading zmogdlib\n");
      LoadLocked(g);
    }
    if (program.decrypt_resolve == DecryptResolve::kEveryCall && g.handle != nullptr) {
      g.decrypt = ResolveDecrypt(g.handle);
    }
    if (g.decrypt != nullptr) {
      // The password of an earlier call must not survive a failed one.
      explicit_bzero(g.clear, sizeof(g.clear));
      if (g.decrypt(scrambled, key, g.clear) > 0) {
        g.clear[sizeof(g.clear) - 1] = '\0';
        result = g.clear;
      }
    }
  }
  explicit_bzero(key, sizeof(key));
  return result;
}

void loadKeyPieces(KeyPieces* pieces) {
  std::memcpy(pieces->piece, kStoredPieces, sizeof(pieces->piece));
  pieces->separator = kStoredSeparator;
}

void buildDecryptKey(char* key) {
  KeyPieces p;
  loadKeyPieces(&p);
  size_t pos = 0;
  auto append = [&](const char* piece) {
    std::memcpy(key + pos, piece, 4);
    pos += 4;
  };
  append(p.piece[6]);
  append(strrev(p.piece[2]));
  key[pos++] = p.separator;
  append(p.piece[8]);
  append(strrev(p.piece[0]));
  append(p.piece[4]);
  key[pos] = '\0';
  explicit_bzero(&p, sizeof(p));
}

bool GdLibLoaded() {
  GdLibState& g = Runtime().gdlib;
  std::lock_guard<std::mutex> lock(g.mu);
  return g.handle != nullptr;
}

void ResetGdLibBinding() {
  GdLibState& g = Runtime().gdlib;
  std::lock_guard<std::mutex> lock(g.mu);
  if (g.handle != nullptr) FreeLibrary(g.handle);
  g.handle = nullptr;
  g.decrypt = nullptr;
  g.bin_dir.clear();
  explicit_bzero(g.clear, sizeof(g.clear));
}

}  // namespace zmo

extern "C" char* strrev(char* text) {
  if (text == nullptr) return nullptr;
  size_t n = std::strlen(text);
  for (size_t i = 0; i < n / 2; ++i) {
    char c = text[i];
    text[i] = text[n - 1 - i];
    text[n - 1 - i] = c;
  }
  return text;
}
