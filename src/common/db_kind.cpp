#include "common/db_kind.h"

#include <cctype>
#include <cstring>

#include "common/runtime_state.h"

namespace zmo {
namespace {

// Each row stands at its kind's number less one.
constexpr bool RowsInKindOrder() {
  for (int i = 0; i < kDbKindCount; ++i) {
    if (static_cast<int>(kDbKinds[i].kind) != i + 1) return false;
  }
  return true;
}
static_assert(RowsInKindOrder());

// The kind whose name, spelled by cased(), equals text.
template <typename Cased>
DbKind ByName(const char* text, Cased cased) {
  if (text == nullptr) return DbKind::kNone;
  for (const DbKindInfo& k : kDbKinds) {
    const std::size_t n = std::strlen(k.name);
    if (std::strlen(text) != n) continue;
    std::size_t i = 0;
    while (i < n && cased(static_cast<unsigned char>(k.name[i])) == text[i]) ++i;
    if (i == n) return k.kind;
  }
  return DbKind::kNone;
}

}  // namespace

DbKind dbKindFromName(const char* text) {
  return ByName(text, [](unsigned char c) { return static_cast<char>(c); });
}

DbKind dbKindFromUpperName(const char* text) {
  return ByName(text, [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
}

DbKind dbKindFromLowerName(const char* text) {
  return ByName(text, [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
}

DbKind dbKindFromVendor(const char* text) {
  if (text == nullptr) return DbKind::kNone;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  for (const DbKindInfo& k : kDbKinds) {
    if (letter != '\0' && k.letter == letter) return k.kind;
  }
  return DbKind::kNone;
}

int dbKindClientTool(DbKind kind, const char* oracle_version, int* tool) {
  const DbKindInfo* k = dbKindInfo(kind);
  if (k == nullptr) return 1;
  if (k->toolByVersion) return oracleLoaderTool(oracle_version, tool);
  *tool = k->clientTool;
  return 0;
}

const char* dbKindName(DbKind kind) {
  const DbKindInfo* k = dbKindInfo(kind);
  return k == nullptr ? "" : k->name;
}

void setDatabaseKind(DbKind kind) {
  Runtime().db_kind = dbKindInfo(kind) == nullptr ? DbKind::kNone : kind;
}

DbKind DatabaseKind() { return Runtime().db_kind; }

}  // namespace zmo
