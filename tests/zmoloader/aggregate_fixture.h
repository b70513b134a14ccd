// The aggregation-script tests' setting: the loader's test setting with the
// run's state primed directly (program, kind, key, logon, switches), the
// configuration files of BinDir written as the configurator lays them out,
// and readers of the written script.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/db_kind.h"
#include "common/metric_switches.h"
#include "loader_test_env.h"
#include "platform/files.h"
#include "zmo_test/files.h"
#include "zmoloader/aggregate_sql.h"
#include "zmoloader/state.h"

namespace aggregate_test {

using namespace zmo::loader;

constexpr const char* kKey = "01002003004000153";

// text left-aligned in width blanks.
using zmo_test::Pad;

// An exclusion list: entries padded to width, each with CR LF.
inline std::string IgnoreList(std::initializer_list<const char*> entries, size_t width) {
  std::string out;
  for (const char* e : entries) out += Pad(e, width) + "\r\n";
  return out;
}

struct TransGroup {
  const char* group;
  const char* code;
};
inline std::string TransGroups(std::initializer_list<TransGroup> rows) {
  std::string out;
  for (const TransGroup& r : rows) out += Pad(r.group, 35) + Pad(r.code, 20);
  return out;
}
struct AppGroup {
  const char* group;
  const char* level;
};
inline std::string AppGroups(std::initializer_list<AppGroup> rows) {
  std::string out;
  for (const AppGroup& r : rows) out += Pad(r.group, 35) + Pad(r.level, 4);
  return out;
}
struct Rename {
  const char* new_name;
  const char* old_name;
};
inline std::string Renames(std::initializer_list<Rename> rows) {
  std::string out;
  for (const Rename& r : rows) out += Pad(r.new_name, 35) + Pad(r.old_name, 35);
  return out;
}

class AggregateTest : public loader_test::LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    Prime(kProgramStati, "Oracle");
  }

  // The state a run has when its batch writer calls the script writer.
  void Prime(int program, const char* vendor) {
    LoaderState& s = loaderState();
    s.prog = program;
    s.program = program == kProgramSnap ? "SNAP" : "STATI";
    s.vendor = vendor;
    s.kind = zmo::dbKindFromVendor(vendor);
    s.aggregate = 1;
    s.bin_dir = bin_dir();
    s.archive_dir = archive_dir();
    s.table_key = kKey;
    s.user = "zmouser";
    s.password = "secret";
    s.dsn = "WHSE";
    s.inst = "zmoinst";
    s.detail_keep_days = -45;
    s.system_sla = 0;
    AllSwitches();
  }
  // ProcessQRBData "True": every switch and group.
  void AllSwitches() { zmo::setAllMetricSwitches(&loaderState().switches); }
  // Only the switches named, without trend data.
  void OnlySwitches(const std::vector<int>& on) {
    zmo::MetricSwitches& sw = loaderState().switches;
    sw = zmo::MetricSwitches();
    for (int s : on) sw.on[s] = true;
    zmo::deriveMetricGroups(&sw);
  }
  // Every switch but the ones named, without trend data.
  void AllSwitchesBut(const std::vector<int>& off) {
    zmo::MetricSwitches& sw = loaderState().switches;
    sw = zmo::MetricSwitches();
    for (int s = 0; s < zmo::kMetricSwitchCount; ++s) sw.on[s] = true;
    for (int s : off) sw.on[s] = false;
    zmo::deriveMetricGroups(&sw);
  }

  void WriteBin(const std::string& name, const std::string& data) {
    ASSERT_EQ(zmo::WriteFileAtomic(Bin(name), data), 0) << name;
  }
  bool BinExists(const std::string& name) const { return zmo::FileExists(Bin(name).c_str()); }

  int WriteStati() { return writeStatiAggregateSql(loaderState().kind); }
  int WriteSnap() { return writeSnapAggregateSql(loaderState().kind); }
  std::vector<std::string> StatiLines() const { return BinLines("zmostati.sql"); }
  std::vector<std::string> SnapLines() const { return BinLines("zmosnap.sql"); }

  // The statements of a script of a dialect whose statements end in ";",
  // their lines joined by "\n", without the terminator; the header (with
  // the Oracle kind's whenever line), commit and closing lines are left out.
  static std::vector<std::string> Statements(const std::vector<std::string>& lines) {
    std::vector<std::string> statements;
    std::string current;
    for (const std::string& line : lines) {
      if (current.empty() &&
          (line.empty() || line == "COMMIT;" || line == "spool off;" || line == "EXIT;" ||
           line == "TERMINATE;" || line.rfind("spool ", 0) == 0 || line.rfind("set ", 0) == 0 ||
           line.rfind("whenever ", 0) == 0)) {
        continue;
      }
      if (!current.empty()) current += "\n";
      current += line;
      if (!line.empty() && line.back() == ';') {
        current.pop_back();
        statements.push_back(current);
        current.clear();
      }
    }
    return statements;
  }
  std::vector<std::string> StatiStatements() const { return Statements(StatiLines()); }
  std::vector<std::string> SnapStatements() const { return Statements(SnapLines()); }

  // The statements that begin with prefix.
  static std::vector<std::string> Starting(const std::vector<std::string>& statements,
                                           const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& s : statements) {
      if (s.rfind(prefix, 0) == 0) found.push_back(s);
    }
    return found;
  }
  // The one statement that begins with prefix ("" when none or several).
  static std::string One(const std::vector<std::string>& statements, const std::string& prefix) {
    std::vector<std::string> found = Starting(statements, prefix);
    EXPECT_EQ(found.size(), 1u) << prefix;
    return found.size() == 1 ? found[0] : std::string();
  }
  // The line of a statement that begins with word ("" when none).
  static std::string Clause(const std::string& statement, const std::string& word) {
    for (const std::string& line : loader_test::CrlfLines(Replace(statement, "\n", "\r\n"))) {
      if (line.rfind(word, 0) == 0) return line;
    }
    return std::string();
  }
  // The items of a statement's select list, split at the commas outside
  // parentheses; a list may go on over further lines up to the from clause.
  static std::vector<std::string> SelectItems(const std::string& statement) {
    std::string select;
    bool in_select = false;
    for (const std::string& line : loader_test::CrlfLines(Replace(statement, "\n", "\r\n"))) {
      if (in_select && line.rfind("from ", 0) == 0) break;
      if (line.rfind("select ", 0) == 0) in_select = true;
      if (in_select) select += (select.empty() ? "" : "\n") + line;
    }
    if (select.empty()) return {};
    select = select.substr(7);
    std::vector<std::string> items;
    size_t depth = 0, start = 0;
    for (size_t i = 0; i < select.size(); ++i) {
      if (select[i] == '(') ++depth;
      if (select[i] == ')') --depth;
      if (depth == 0 && (select.compare(i, 2, ", ") == 0 || select.compare(i, 2, ",\n") == 0)) {
        items.push_back(select.substr(start, i - start));
        start = i + 2;
      }
    }
    items.push_back(select.substr(start));
    return items;
  }
  static std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos)) {
      text.replace(pos, from.size(), to);
      pos += to.size();
    }
    return text;
  }
  static bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  // CustomGroupDate as stored ("<none>" when missing).
  std::string StoredGroupDate() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
      return "<none>";
    }
    char text[256] = {};
    DWORD size = sizeof(text) - 1;
    LONG rc = RegQueryValueExA(key, zmo::cfg::kCustomGroupDate, nullptr, nullptr,
                               reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(text) : "<none>";
  }
  // The ctime text of a file's modification time, as the script writer takes it.
  std::string FileTime(const std::string& name) const {
    struct stat st;
    if (stat(Bin(name).c_str(), &st) != 0) return "<none>";
    char text[32];
    std::string out = ctime_r(&st.st_mtime, text);
    out.pop_back();
    return out;
  }
  void SetFileTime(const std::string& name, std::time_t when) {
    std::filesystem::last_write_time(Bin(name), std::filesystem::file_time_type::clock::from_sys(
                                                    std::chrono::system_clock::from_time_t(when)));
  }
};

}  // namespace aggregate_test
