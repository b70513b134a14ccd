#include "catalog/catalog_table.h"

#include <algorithm>

const char* zmoCatalogText(int id) {
  const ZmoCatalogEntry* end = zmoCatalogEntries + zmoCatalogEntryCount;
  const ZmoCatalogEntry* it = std::lower_bound(
      zmoCatalogEntries, end, id, [](const ZmoCatalogEntry& e, int key) { return e.id < key; });
  return it != end && it->id == id ? it->text : nullptr;
}
