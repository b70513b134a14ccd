// zmoscramble: reads one clear password from standard input and writes it
// scrambled with the configurator's key, as the application-server file
// holds it. The password is read from standard input rather than the command
// line, where every user of the machine could see it.
//
// Exit codes: 0 written, 1 no password on standard input, 2 zmogdlib.so or
// its Encrypt cannot be had, 3 Encrypt refused the text.

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/dynlib.h"
#include "platform/files.h"
#include "zmogdlib/zmogdlib.h"

namespace {

// The key the configurator scrambles every stored password with.
constexpr const char* kConfiguratorKey = "Qortane4_Brelmuskand7";

}  // namespace

int main() {
  char line[256] = {0};
  if (std::fgets(line, sizeof line, stdin) == nullptr) return 1;
  line[std::strcspn(line, "\r\n")] = '\0';
  if (line[0] == '\0') return 1;

  const std::string lib_path = zmo::JoinPath(zmo::ProgramDirectory(), "zmogdlib.so");
  HMODULE lib = LoadLibraryA(lib_path.c_str());
  auto encrypt =
      lib != nullptr ? reinterpret_cast<ZmoEncryptFn>(GetProcAddress(lib, "Encrypt")) : nullptr;
  if (encrypt == nullptr) {
    std::fprintf(stderr, "zmoscramble: cannot use Encrypt of %s\n", lib_path.c_str());
    return 2;
  }
  char out[256] = {0};
  const int n = encrypt(line, kConfiguratorKey, out);
  std::memset(line, 0, sizeof line);
  FreeLibrary(lib);
  if (n <= 0) return 3;
  std::printf("%s\n", out);
  return 0;
}
