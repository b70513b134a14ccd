#include "common/message_catalog.h"

#include <utility>

#include "common/runtime_state.h"
#include "common/trace_log.h"
#include "platform/files.h"

namespace zmo {
namespace {

constexpr WORD kSublangDefault = 0x400;
constexpr WORD kPrimaryLangMask = 0x3FF;
constexpr int kAbbrMax = 3;

// The abbreviated language name of locale, at most kAbbrMax characters.
std::string LanguageAbbreviation(LCID locale) {
  char abbr[100];
  if (GetLocaleInfoA(locale, LOCALE_SABBREVLANGNAME, abbr, sizeof(abbr)) == 0) return std::string();
  abbr[sizeof(abbr) - 1] = '\0';
  return std::string(abbr).substr(0, kAbbrMax);
}

std::string CatalogName(const std::string& abbr) {
  return std::string(kCatalogPrefix) + abbr + kCatalogExtension;
}

}  // namespace

void catalogNames(std::string names[kCatalogNames]) {
  names[0] = CatalogName(LanguageAbbreviation(LOCALE_USER_DEFAULT));
  LANGID lang = static_cast<LANGID>((GetUserDefaultLangID() & kPrimaryLangMask) | kSublangDefault);
  names[1] = CatalogName(LanguageAbbreviation(lang));
  names[2] = CatalogName("enu");
}

HINSTANCE loadMessageCatalog(const CatalogLookup& lookup) {
  std::string names[kCatalogNames];
  catalogNames(names);
  std::string path;
  HINSTANCE catalog = nullptr;
  for (const std::string& name : names) {
    path = lookup.dir != nullptr ? JoinPath(lookup.dir, name) : name;
    if (lookup.trace) lookup.trace("%s() trying <%s>\n", lookup.function_name, path.c_str());
    catalog = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (catalog != nullptr) break;
  }
  if (lookup.trace) {
    if (catalog != nullptr) {
      lookup.trace("%s() loaded <%s>\n", lookup.function_name, path.c_str());
    } else {
      lookup.trace("%s() Could not load dll <%s>\n", lookup.function_name, path.c_str());
    }
  }
  return catalog;
}

int loadLang() {
  ConsoleRuntime& r = Runtime();
  std::string dir = ProgramDir();
  CatalogLookup lookup;
  lookup.dir = dir.c_str();
  lookup.function_name = r.program.load_lang_name;
  lookup.trace = writeTrace;
  HINSTANCE catalog = loadMessageCatalog(lookup);
  if (r.catalog != nullptr) FreeLibrary(r.catalog);
  r.catalog = catalog;
  return 0;
}

int freeLang() {
  ConsoleRuntime& r = Runtime();
  BOOL freed = FreeLibrary(r.catalog);
  r.catalog = nullptr;
  return freed ? 0 : 1;
}

HINSTANCE Catalog() { return Runtime().catalog; }

bool catalogText(HINSTANCE catalog, UINT id, int size, std::string* text) {
  if (catalog == nullptr || size <= 0) return false;
  std::string buf(static_cast<size_t>(size), '\0');
  const int n = LoadStringA(catalog, id, buf.data(), size);
  if (n <= 0) return false;
  buf.resize(static_cast<size_t>(n));
  *text = std::move(buf);
  return true;
}

}  // namespace zmo
