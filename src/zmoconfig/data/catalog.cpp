#include "zmoconfig/catalog.h"

#include <vector>

#include "catalog/catalog_table.h"
#include "common/message_catalog.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "zmoconfig/codepage.h"

namespace zmo::config {

namespace {

std::string catalog_dir;      // empty: the program's directory
HINSTANCE catalog = nullptr;  // the loaded catalog, or none

// A first read size that holds every text of the shipped catalogs; longer
// ones are read again with a larger buffer.
constexpr int kFirstReadSize = 512;

}  // namespace

void SetCatalogDirectory(const std::string& dir) { catalog_dir = dir; }

bool LoadCatalog() {
  if (catalog != nullptr) return true;
  const std::string dir = catalog_dir.empty() ? zmo::ProgramDirectory() : catalog_dir;
  zmo::CatalogLookup lookup;
  lookup.dir = dir.c_str();
  lookup.function_name = "LocalizeForm";
  catalog = zmo::loadMessageCatalog(lookup);
  return catalog != nullptr;
}

bool CatalogLoaded() { return catalog != nullptr; }

void UnloadCatalog() {
  if (catalog != nullptr) FreeLibrary(catalog);
  catalog = nullptr;
}

std::string LoadResString(int id) {
  if (catalog == nullptr) {
    const char* text = zmoCatalogText(id);
    return text != nullptr ? text : "";
  }
  if (id <= 0) return std::string();
  // LoadStringA cuts a text to the buffer: read until the text fits with room
  // to spare, so no text is ever shortened.
  for (int size = kFirstReadSize;; size *= 2) {
    std::vector<char> buffer(static_cast<size_t>(size));
    const int n = LoadStringA(catalog, static_cast<UINT>(id), buffer.data(), size);
    if (n < size - 1) return std::string(buffer.data(), n > 0 ? n : 0);
  }
}

std::string LoadResStringUtf8(int id) { return Cp1252ToUtf8(LoadResString(id)); }

int CatalogIdValue(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  long value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > 65535) return 0;  // no catalog id is that large
  }
  return static_cast<int>(value);
}

bool LocalizedText(std::string_view id_text, LocalizeKind kind, std::string* text) {
  const int id = CatalogIdValue(id_text);
  if (kind == LocalizeKind::kWhenId && id <= 0) return false;
  *text = id > 0 ? LoadResStringUtf8(id) : std::string();
  return true;
}

}  // namespace zmo::config
