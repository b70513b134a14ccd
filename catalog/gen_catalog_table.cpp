// Build step: writes the data of the built-in message table
// (catalog/include/catalog/catalog_table.h) from a catalog file.
//
//   zmo_catalog_gen <catalog file> <output .cpp>
//
// The catalog is opened with the same loader the programs use at run time, so
// a file they would refuse fails the build, and the table holds the same bytes
// as LoadStringA gives.
#include <cstdio>
#include <cstring>
#include <string>

#include "module.h"
#include "platform/files.h"
#include "platform/resources.h"

namespace {

// A C++ string literal of exactly these bytes: printable ASCII as it is,
// everything else as a three-digit octal escape (which, unlike \x, cannot run
// into a following digit).
std::string Literal(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char esc[5];
      std::snprintf(esc, sizeof(esc), "\\%03o", c);
      out += esc;
    }
  }
  return out + "\"";
}

std::string TableSource(const ZmoModule& catalog, const char* source_name) {
  std::string out;
  out += "// Generated from ";
  out += source_name;
  out += " by zmo_catalog_gen; do not edit.\n";
  out += "#include \"catalog/catalog_table.h\"\n\n";
  out += "const ZmoCatalogEntry zmoCatalogEntries[] = {\n";
  for (const auto& [id, text] : catalog.strings) {  // std::map: ascending ids
    out += "    {" + std::to_string(id) + ", " + Literal(text) + "},\n";
  }
  out += "};\n\n";
  out += "const int zmoCatalogEntryCount = " + std::to_string(catalog.strings.size()) + ";\n";
  return out;
}

const char* BaseName(const char* path) {
  const char* slash = std::strrchr(path, zmo::kPathSep);
  return slash ? slash + 1 : path;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <catalog file> <output .cpp>\n", argv[0]);
    return 2;
  }
  HMODULE catalog = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!catalog) {
    DWORD error = GetLastError();
    std::fprintf(stderr, "%s: cannot load catalog %s: %s (error %u)\n", argv[0], argv[1],
                 error == static_cast<DWORD>(ERROR_INVALID_DATA) ? "malformed, see docs/catalog.md"
                                                                 : "cannot read it",
                 static_cast<unsigned>(error));
    return 1;
  }
  std::string source = TableSource(*catalog, BaseName(argv[1]));
  FreeLibrary(catalog);
  // Written whole or not at all, so a failed step never leaves half a table.
  if (zmo::WriteFileAtomic(argv[2], source) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
