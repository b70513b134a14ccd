// Internal tables. Handles are checked against the set of live tables, so a
// stale or foreign handle fails instead of being dereferenced.
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "rfc/sapitab.h"
#include "state.h"

namespace zmo::rfc {
namespace {

std::string Upper(const char* s) {
  std::string out = s == nullptr ? "" : s;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The library faults of the current landscape name this table.
bool Faulted(RfcLibState& st, std::vector<std::string> LibraryFaults::*list,
             const std::string& name) {
  std::string unused;
  auto land = CurrentLandscape(st, &unused);
  if (!land) return false;
  const auto& names = (land->faults).*list;
  return std::find(names.begin(), names.end(), name) != names.end();
}

unsigned char* AppendLine(ZmoItab* t) {
  t->lines.emplace_back(new unsigned char[t->leng]());
  return t->lines.back().get();
}

}  // namespace

bool IsTable(const RfcLibState& st, ITAB_H table) {
  return table != nullptr && st.tables.count(table) != 0;
}

void FillTable(ITAB_H table, std::vector<LineBuffer>&& lines) { table->lines = std::move(lines); }

}  // namespace zmo::rfc

using namespace zmo::rfc;

extern "C" ITAB_H ItCreate(const char* name, unsigned leng, unsigned /*occu*/, unsigned /*memo*/) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  std::string upper = Upper(name);
  if (leng == 0) {
    SetError(st, RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM", "ItCreate",
             "table " + upper + ": line length 0");
    return ITAB_NULL;
  }
  if (Faulted(st, &LibraryFaults::itcreate, upper)) {
    SetError(st, RFC_ERROR_RESOURCE, "RFC_ERROR_RESOURCE", "ItCreate",
             "table " + upper + " could not be created (fault of the simulated library)");
    return ITAB_NULL;
  }
  auto* t = new ZmoItab;
  t->name = upper;
  t->leng = leng;
  std::string unused;
  if (auto land = CurrentLandscape(st, &unused)) {
    for (const auto& [table, line] : land->faults.itgetline) {
      if (table == upper) t->failing_lines.push_back(line);
    }
  }
  st.tables.insert(t);
  return t;
}

extern "C" int ItFill(ITAB_H table) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  return IsTable(st, table) ? static_cast<int>(table->lines.size()) : -1;
}

extern "C" void* ItGetLine(ITAB_H table, unsigned line) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  if (!IsTable(st, table) || line == 0 || line > table->lines.size()) return nullptr;
  const auto& failing = table->failing_lines;
  if (std::find(failing.begin(), failing.end(), line) != failing.end()) return nullptr;
  return table->lines[line - 1].get();
}

extern "C" void* ItAppLine(ITAB_H table) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  return IsTable(st, table) ? AppendLine(table) : nullptr;
}

extern "C" unsigned ItLeng(ITAB_H table) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  return IsTable(st, table) ? table->leng : 0;
}

extern "C" int ItFree(ITAB_H table) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  if (!IsTable(st, table) || Faulted(st, &LibraryFaults::itfree, table->name)) return 1;
  table->lines.clear();
  return 0;
}

extern "C" int ItDelete(ITAB_H table) {
  auto& st = State();
  std::lock_guard<std::mutex> lock(st.mu);
  if (!IsTable(st, table) || Faulted(st, &LibraryFaults::itdelete, table->name)) return 1;
  st.tables.erase(table);
  delete table;
  return 0;
}
