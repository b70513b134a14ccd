// The English message texts built into a program, generated at build time
// from catalog/zmocatENU.cat. A program that finds no catalog file reads its
// texts here.
#pragma once

struct ZmoCatalogEntry {
  int id;
  const char* text;  // Windows-1252 bytes, NUL-terminated
};

// Every entry of the English catalog, ascending by id.
extern const ZmoCatalogEntry zmoCatalogEntries[];
extern const int zmoCatalogEntryCount;

// The English text of id, or nullptr when the catalog has no such id.
const char* zmoCatalogText(int id);
