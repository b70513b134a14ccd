// Reading a simulated system's file, strictly: every key is known, every
// value checked, every error names the file and the line.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <set>

#include "conf_parser.h"
#include "landscape.h"

namespace zmo::rfc {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The keys of one section, each to be taken once; what is left over is an
// unknown key.
class Keys {
 public:
  Keys(const std::string& file, const ConfSection& section) : file_(file), section_(section) {}

  int Index(std::string* error) {
    for (const ConfEntry& e : section_.entries) {
      if (!by_key_.emplace(Lower(e.key), &e).second) {
        *error = ConfError(file_, e.line, "key '" + e.key + "' given twice in " + Where());
        return -1;
      }
    }
    return 0;
  }

  const ConfEntry* Get(const char* key) {
    auto it = by_key_.find(key);
    if (it == by_key_.end()) return nullptr;
    used_.insert(key);
    return it->second;
  }

  int Text(const char* key, bool required, size_t max, std::string* out, std::string* error) {
    const ConfEntry* e = Get(key);
    if (e == nullptr) {
      if (!required) return 0;
      *error = ConfError(file_, section_.line, Where() + " needs key '" + key + "'");
      return -1;
    }
    if ((required && e->value.empty()) || e->value.size() > max) {
      *error = Bad(*e, "1 to " + std::to_string(max) + " characters");
      return -1;
    }
    *out = e->value;
    return 0;
  }

  // A word without blanks.
  int Word(const char* key, bool required, size_t max, std::string* out, std::string* error) {
    if (Text(key, required, max, out, error) != 0) return -1;
    if (out->find_first_of(" \t") != std::string::npos) {
      *error = Bad(*Get(key), "a word without blanks");
      return -1;
    }
    return 0;
  }

  int Number(const char* key, long long lo, long long hi, long long* out, std::string* error) {
    const ConfEntry* e = Get(key);
    if (e == nullptr) return 0;
    if (ParseNumber(e->value, lo, hi, out) != 0) {
      *error = Bad(*e, "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
      return -1;
    }
    return 0;
  }

  int Flag(const char* key, bool* out, std::string* error) {
    const ConfEntry* e = Get(key);
    if (e == nullptr) return 0;
    std::string v = Lower(e->value);
    if (v != "yes" && v != "no") {
      *error = Bad(*e, "yes or no");
      return -1;
    }
    *out = v == "yes";
    return 0;
  }

  int Leftover(std::string* error) const {
    for (const ConfEntry& e : section_.entries) {
      if (used_.count(Lower(e.key)) == 0) {
        *error = ConfError(file_, e.line, "unknown key '" + e.key + "' in " + Where());
        return -1;
      }
    }
    return 0;
  }

  std::string Bad(const ConfEntry& e, const std::string& expected) const {
    return ConfError(file_, e.line, "'" + e.key + "' must be " + expected);
  }

  std::string Where() const {
    return "[" + section_.name + (section_.arg.empty() ? "" : " " + section_.arg) + "]";
  }

  static int ParseNumber(const std::string& s, long long lo, long long hi, long long* out) {
    if (s.empty() || s.find_first_not_of("+-0123456789") != std::string::npos) return -1;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return -1;
    *out = v;
    return 0;
  }

 private:
  const std::string& file_;
  const ConfSection& section_;
  std::map<std::string, const ConfEntry*> by_key_;
  std::set<std::string> used_;
};

// The field values of a row section, checked against layout.
int ReadRow(const std::string& file, const ConfSection& s, const sap::StructLayout& layout,
            std::vector<FieldValue>* out, std::string* error) {
  Keys keys(file, s);
  if (keys.Index(error) != 0) return -1;
  std::string scratch(layout.line_size, '\0');
  for (const ConfEntry& e : s.entries) {
    const sap::FieldLayout* f = sap::FindField(&layout, e.key.c_str());
    if (f == nullptr) {
      *error = ConfError(file, e.line,
                         "field '" + e.key + "' is not in " + layout.structure +
                             (layout.tag[0] ? std::string(" ") + layout.tag : std::string()));
      return -1;
    }
    std::string why;
    if (EncodeField(*f, 1, e.value, false, reinterpret_cast<unsigned char*>(scratch.data()),
                    &why) != 0) {
      *error = ConfError(file, e.line, "field '" + e.key + "': " + why);
      return -1;
    }
    out->push_back({f->name, e.value});
  }
  return 0;
}

const ConfEntry* Entry(const ConfSection& s, const char* key) {
  for (const ConfEntry& e : s.entries) {
    if (Lower(e.key) == key) return &e;
  }
  return nullptr;
}

int ReadLogon(const std::string& file, const ConfSection& s, SimSystem* sys, std::string* error) {
  Keys k(file, s);
  std::string sysnr;
  if (k.Index(error) || k.Text("host", true, 100, &sys->host, error) ||
      k.Word("sysnr", true, 2, &sysnr, error) || k.Word("client", true, 3, &sys->client, error) ||
      k.Word("user", true, 12, &sys->user, error) ||
      k.Text("password", true, 40, &sys->password, error) ||
      k.Word("language", false, 1, &sys->language, error) ||
      k.Text("refuse", false, 200, &sys->refuse, error)) {
    return -1;
  }
  long long nr = 0;
  if (Keys::ParseNumber(sysnr, 0, 99, &nr) != 0 ||
      sysnr.find_first_not_of("0123456789") != std::string::npos) {
    *error = k.Bad(*Entry(s, "sysnr"), "a system number 00 to 99");
    return -1;
  }
  sys->sysnr = static_cast<int>(nr);
  if (sys->client.size() != 3 || sys->client.find_first_not_of("0123456789") != std::string::npos) {
    *error = k.Bad(*Entry(s, "client"), "three digits");
    return -1;
  }
  return k.Leftover(error);
}

int ReadSystemInfo(const std::string& file, const ConfSection& s, SimSystem* sys,
                   std::string* error) {
  Keys k(file, s);
  if (k.Index(error) || k.Word("sysid", true, 8, &sys->sysid, error) ||
      k.Word("dbhost", true, 32, &sys->dbhost, error) ||
      k.Word("release", true, 4, &sys->release, error) ||
      k.Text("dayst", false, 1, &sys->dayst, error) ||
      k.Word("rfchost", false, 8, &sys->rfchost, error) ||
      k.Word("dest", false, 32, &sys->dest, error) ||
      k.Word("databs", false, 8, &sys->databs, error) ||
      k.Word("dbsys", false, 10, &sys->dbsys, error) ||
      k.Text("mach", false, 5, &sys->mach, error) ||
      k.Text("opsys", false, 10, &sys->opsys, error) ||
      k.Word("ipaddr", false, 15, &sys->ipaddr, error) ||
      k.Word("kernel", false, 4, &sys->kernel, error)) {
    return -1;
  }
  if (sys->release.size() < 2) {
    *error = k.Bad(*Entry(s, "release"), "2 to 4 characters");
    return -1;
  }
  long long tz = 0;
  if (k.Number("tzone", -86400, 86400, &tz, error) != 0) return -1;
  sys->tzone = std::to_string(tz);
  return k.Leftover(error);
}

int ReadFunction(const std::string& file, const ConfSection& s, SimSystem* sys,
                 std::string* error) {
  std::string name = Upper(s.arg);
  if (!IsServedFunction(name)) {
    *error = ConfError(file, s.line,
                       "[function] needs one of the served function modules, not '" + s.arg + "'");
    return -1;
  }
  if (sys->functions.count(name) != 0) {
    *error = ConfError(file, s.line, "function " + name + " described twice");
    return -1;
  }
  FunctionBehaviour b;
  Keys k(file, s);
  long long delay = 0, call_rc = 0, listen_rc = 0;
  if (k.Index(error) || k.Number("delay_ms", 0, 86400000, &delay, error) ||
      k.Number("call_rc", 0, 99, &call_rc, error) ||
      k.Number("listen_rc", 0, 99, &listen_rc, error) ||
      k.Word("exception", false, 30, &b.exception, error) ||
      k.Word("sys_exception", false, 30, &b.sys_exception, error) ||
      k.Word("table_fault", false, 30, &b.table_fault, error) ||
      k.Flag("absent", &b.absent, error) || k.Leftover(error)) {
    return -1;
  }
  if (!b.exception.empty() && !b.sys_exception.empty()) {
    *error = ConfError(file, s.line, "give exception or sys_exception, not both");
    return -1;
  }
  if (listen_rc == 7) {
    *error = k.Bad(*Entry(s, "listen_rc"), "a failure code (7 means no answer yet)");
    return -1;
  }
  b.delay_ms = delay;
  b.call_rc = static_cast<int>(call_rc);
  b.listen_rc = static_cast<int>(listen_rc);
  b.table_fault = Upper(b.table_fault);
  sys->functions[name] = b;
  return 0;
}

int ReadXmi(const std::string& file, const ConfSection& s, SimSystem* sys, std::string* error) {
  Keys k(file, s);
  long long users = 0, sessions = 0;
  if (k.Index(error) || k.Number("users", 0, 9999999, &users, error) ||
      k.Number("sessions", 0, 9999999, &sessions, error) || k.Leftover(error)) {
    return -1;
  }
  sys->users = static_cast<int>(users);
  sys->sessions = static_cast<int>(sessions);
  return 0;
}

int ReadDatabaseHost(const std::string& file, const ConfSection& s, SimSystem* sys,
                     std::string* error) {
  Keys k(file, s);
  sys->db_locality = "REMOTE";
  if (k.Index(error) || k.Word("destination", true, 32, &sys->db_destination, error) ||
      k.Word("locality", false, 10, &sys->db_locality, error) || k.Leftover(error)) {
    return -1;
  }
  sys->has_db_host = true;
  return 0;
}

int ReadGenerator(const std::string& file, const ConfSection& s, SimSystem* sys,
                  std::string* error) {
  Keys k(file, s);
  std::string seed;
  long long normal = 0, batch = 0;
  if (k.Index(error) || k.Word("seed", true, 20, &seed, error) ||
      k.Number("normal_per_hour", 0, 1000000, &normal, error) ||
      k.Number("batch_per_hour", 0, 1000000, &batch, error) || k.Leftover(error)) {
    return -1;
  }
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(seed.c_str(), &end, 10);
  if (seed.find_first_not_of("0123456789") != std::string::npos || errno != 0 || *end != '\0') {
    *error = k.Bad(*Entry(s, "seed"), "a whole number from 0 to 18446744073709551615");
    return -1;
  }
  sys->generator = {true, v, static_cast<unsigned>(normal), static_cast<unsigned>(batch)};
  return 0;
}

// Snapshot rows: [cpu app], [disk db], ...
int ReadSnapshotRow(const std::string& file, const ConfSection& s, SimSystem* sys,
                    std::string* error) {
  static const std::map<std::string, const char*> kStructures = {
      {"cpu", "CPU_ALL"}, {"mem", "MEM_ALL"}, {"disk", "DSK_SINGLE"}, {"lan", "LAN_SINGLE"}};
  std::string host = Lower(s.arg);
  if (host != "app" && host != "db") {
    *error = ConfError(file, s.line, "[" + s.name + "] needs the host: app or db");
    return -1;
  }
  HostSnapshot& snap = host == "app" ? sys->app : sys->db;
  auto& rows = s.name == "cpu"    ? snap.cpu
               : s.name == "mem"  ? snap.mem
               : s.name == "disk" ? snap.disk
                                  : snap.lan;
  rows.emplace_back();
  return ReadRow(file, s, *sap::FindLayout(kStructures.at(s.name), ""), &rows.back(), error);
}

// Statistic records need the release, so they are read after the rest.
int ReadRecord(const std::string& file, const ConfSection& s, SimSystem* sys, std::string* error) {
  std::string kind = Lower(s.arg);
  if (kind != "batch" && kind != "normal") {
    *error = ConfError(file, s.line, "[record] needs the kind: batch or normal");
    return -1;
  }
  const char* tag = sap::StatLayoutTag(sys->release.c_str());
  if (tag == nullptr) {
    *error = ConfError(file, s.line, "release " + sys->release + " has no statistic record layout");
    return -1;
  }
  StatRecord r;
  r.batch = kind == "batch";
  const sap::StructLayout* layout =
      sap::FindLayout(r.batch ? sap::kBatchStructure : sap::kNormalStructure, tag);
  if (ReadRow(file, s, *layout, &r.values, error) != 0) return -1;
  const ConfEntry* date = Entry(s, "enddate");
  const ConfEntry* time = Entry(s, "endtime");
  if (date == nullptr || time == nullptr) {
    *error = ConfError(file, s.line, "[record] needs ENDDATE and ENDTIME");
    return -1;
  }
  r.end_stamp = date->value + time->value;
  sys->records.push_back(std::move(r));
  return 0;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

int LoadSystemFile(const std::string& path, SimSystem* out, std::string* error) {
  std::vector<ConfSection> sections;
  if (ParseConfFile(path, &sections, error) != 0) return -1;
  SimSystem sys;
  sys.name = BaseName(path);
  sys.file = path;
  using Reader = int (*)(const std::string&, const ConfSection&, SimSystem*, std::string*);
  static const std::map<std::string, std::pair<Reader, bool>> kReaders = {
      {"logon", {ReadLogon, true}},
      {"system_info", {ReadSystemInfo, true}},
      {"function", {ReadFunction, false}},
      {"xmi", {ReadXmi, true}},
      {"database_host", {ReadDatabaseHost, true}},
      {"generator", {ReadGenerator, true}},
      {"cpu", {ReadSnapshotRow, false}},
      {"mem", {ReadSnapshotRow, false}},
      {"disk", {ReadSnapshotRow, false}},
      {"lan", {ReadSnapshotRow, false}},
      {"record", {ReadRecord, false}}};
  std::set<std::string> seen;
  const ConfSection* first_db_row = nullptr;
  for (int pass = 0; pass < 2; ++pass) {  // records after the release is known
    for (const ConfSection& s : sections) {
      auto it = kReaders.find(s.name);
      if (it == kReaders.end()) {
        *error = ConfError(path, s.line, "unknown section [" + s.name + "]");
        return -1;
      }
      if ((s.name == "record") != (pass == 1)) continue;
      const bool once = it->second.second;
      if (once && !s.arg.empty()) {
        *error = ConfError(path, s.line, "[" + s.name + "] takes no argument");
        return -1;
      }
      if (once && !seen.insert(s.name).second) {
        *error = ConfError(path, s.line, "section [" + s.name + "] given twice");
        return -1;
      }
      if (it->second.first(path, s, &sys, error) != 0) return -1;
      if (Lower(s.arg) == "db" && first_db_row == nullptr) first_db_row = &s;
    }
    if (pass == 0) {
      for (const char* required : {"logon", "system_info"}) {
        if (seen.count(required) == 0) {
          *error = ConfError(path, 1, std::string("section [") + required + "] is missing");
          return -1;
        }
      }
      if (first_db_row != nullptr && !sys.has_db_host) {
        *error = ConfError(path, first_db_row->line,
                           "rows of the db host need a [database_host] section");
        return -1;
      }
      if (sys.generator.enabled && sap::StatLayoutTag(sys.release.c_str()) == nullptr) {
        *error = ConfError(
            path, 1, "release " + sys.release + " has no statistic record layout for [generator]");
        return -1;
      }
    }
  }
  std::stable_sort(
      sys.records.begin(), sys.records.end(),
      [](const StatRecord& a, const StatRecord& b) { return a.end_stamp < b.end_stamp; });
  *out = std::move(sys);
  return 0;
}

int LoadLibraryFaults(const std::string& path, LibraryFaults* out, std::string* error) {
  std::vector<ConfSection> sections;
  if (ParseConfFile(path, &sections, error) != 0) return -1;
  LibraryFaults faults;
  for (const ConfSection& s : sections) {
    if (s.name != "faults" || !s.arg.empty()) {
      *error = ConfError(path, s.line, "library.conf holds only a [faults] section");
      return -1;
    }
    for (const ConfEntry& e : s.entries) {
      std::string key = Lower(e.key);
      std::string name = Upper(e.value.substr(0, e.value.find(' ')));
      std::string rest =
          e.value.find(' ') == std::string::npos ? "" : e.value.substr(e.value.find(' ') + 1);
      long long n = 0;
      if (name.empty()) {
        *error = ConfError(path, e.line, "'" + e.key + "' needs a name");
        return -1;
      }
      if (key == "itcreate" || key == "itfree" || key == "itdelete") {
        if (!rest.empty()) {
          *error = ConfError(path, e.line, "'" + e.key + "' takes a table name only");
          return -1;
        }
        (key == "itcreate" ? faults.itcreate
         : key == "itfree" ? faults.itfree
                           : faults.itdelete)
            .push_back(name);
      } else if (key == "install" || key == "itgetline") {
        const bool line = key == "itgetline";
        if ((line || !rest.empty()) && Keys::ParseNumber(rest, 1, 100000000, &n) != 0) {
          *error = ConfError(path, e.line,
                             line ? "'itgetline' takes a table name and a line number"
                                  : "'install' takes a structure name and optionally its size");
          return -1;
        }
        (line ? faults.itgetline : faults.install).emplace_back(name, static_cast<unsigned>(n));
      } else {
        *error = ConfError(path, e.line, "unknown key '" + e.key + "' in [faults]");
        return -1;
      }
    }
  }
  *out = std::move(faults);
  return 0;
}

}  // namespace zmo::rfc
