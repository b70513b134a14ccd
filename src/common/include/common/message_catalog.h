// The loader of the message catalog: one data file per language,
// zmocat<ABBR>.cat, read with LoadStringA by text id. It tries the language
// of the user's locale, then the default sub-language of the same primary
// language, then English.
#pragma once

#include <string>

#include "platform/resources.h"

namespace zmo {

constexpr const char* kCatalogPrefix = "zmocat";
constexpr const char* kCatalogExtension = ".cat";
constexpr int kCatalogNames = 3;

// A printf-style trace writer, or nullptr for a loader that writes none.
using TraceFn = int (*)(const char* format, ...);

struct CatalogLookup {
  const char* dir = nullptr;       // directory of the names, nullptr: bare names
  const char* function_name = "";  // names the loader in its trace lines
  TraceFn trace = nullptr;
};

// The three file names in the order they are tried: the user's language,
// its default sub-language, English ("zmocatenu.cat"). Names are matched
// without regard to case when they are opened.
void catalogNames(std::string names[kCatalogNames]);

// Tries the three names and returns the first catalog that opens, or nullptr.
// Traces "<function>() trying <name>" for each attempt, then "loaded" or
// "Could not load dll" with the last name tried.
HINSTANCE loadMessageCatalog(const CatalogLookup& lookup);

// The console program's loader (zmostatiLoadLang, zmosnapLoadLang): looks in
// the program directory, traces under the program's loader name and keeps
// the catalog in the runtime, freeing one loaded earlier. Returns 0.
int loadLang();
// Frees the catalog loadLang kept and forgets it. 0 when one was freed, 1
// when there was none or freeing failed.
int freeLang();
// The catalog loadLang found, or nullptr.
HINSTANCE Catalog();

// Text id of catalog into *text, read with at most size - 1 characters.
// False, with *text untouched, when there is no catalog (nullptr) or it
// lacks the text: the caller then takes its built-in text.
bool catalogText(HINSTANCE catalog, UINT id, int size, std::string* text);

}  // namespace zmo
