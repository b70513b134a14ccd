#include "zmoloader/libraries.h"

#include <string.h>

#include <cstring>
#include <string>

#include "common/console_program.h"
#include "common/gdlib_binding.h"
#include "common/message_catalog.h"
#include "common/pipeline.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "zmoloader/state.h"
#include "zmoloader/trace.h"

namespace zmo::loader {

namespace {

// A catalog text is read with at most this many characters.
constexpr int kCatalogTextMax = 127;

// Frees a library and forgets it. 0 on success, 1 when none was loaded or
// freeing failed.
int FreeTraced(HMODULE* module, const char* function) {
  BOOL freed = FreeLibrary(*module);
  *module = nullptr;
  loaderLog("%s() returned %s\n", function, freed ? "successfully" : "unsuccessfully");
  return freed ? 0 : 1;
}

}  // namespace

int zmoLoaderLoadLang() {
  LoaderState& s = loaderState();
  std::string names[zmo::kCatalogNames];
  zmo::catalogNames(names);
  // The first name is looked for in BinDir, the other two by their bare
  // names, which are looked for beside the program first, as a library's.
  std::string path;
  for (int i = 0; i < zmo::kCatalogNames && s.catalog == nullptr; ++i) {
    path = i == 0 ? zmo::JoinPath(s.bin_dir, names[i]) : names[i];
    loaderLog("zmoLoaderLoadLang() trying <%s>\n", path.c_str());
    s.catalog = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  if (s.catalog != nullptr) {
    loaderLog("zmoLoaderLoadLang() loaded <%s>\n", path.c_str());
    return 0;
  }
  loaderLog("zmoLoaderLoadLang() Could not load dll <%s>\n", path.c_str());
  loaderLog("zmoLoaderLoadLang() returned unsuccessfully\n");
  return 1;
}

int zmoLoaderFreeLib() { return FreeTraced(&loaderState().catalog, "zmoLoaderFreeLib"); }

int loaderBindGdLib() {
  zmo::ConsoleProgramConfig program;
  program.program = zmo::pipelineProgram(zmo::PipelineProgram::kLoader).executable;
  program.decrypt_resolve = zmo::DecryptResolve::kAtLoadOnly;
  program.gdlib_trace = loaderLog;
  program.trace_gdlib_trying = true;
  zmo::SetConsoleProgram(program);
  zmo::setGdLibDirectory(loaderState().bin_dir.c_str());
  return zmo::zmoLoaderGdLib();
}

int zmoLoaderDecrypt() {
  LoaderState& s = loaderState();
  explicit_bzero(s.password.data(), s.password.size());
  s.password.clear();
  // zmogdlib is loaded once at the start of the run; it is not tried again
  // here when that failed.
  if (!zmo::GdLibLoaded()) return 1;
  const char* clear = zmo::zmodecrypt(s.access.c_str());
  if (clear != nullptr) s.password = clear;
  return s.password.empty() ? 1 : 0;
}

int loaderCatalogText(unsigned id, std::string* out) {
  return zmo::catalogText(loaderState().catalog, id, kCatalogTextMax + 1, out) ? 0 : 1;
}

}  // namespace zmo::loader
