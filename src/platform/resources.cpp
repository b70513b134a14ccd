// Message catalogs opened as data modules, and LoadStringA over them.
//
// A catalog is a text file of "<id> TAB <text>" lines (docs/catalog.md). It is
// parsed whole when opened, so a damaged file is refused at once rather than
// giving wrong texts later.
#include "platform/resources.h"

#include <dirent.h>
#include <strings.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "module.h"
#include "platform/files.h"

namespace {

constexpr unsigned kMaxStringId = 0xFFFF;  // string resource ids are 16-bit

// Decodes one text; only \\, \t, \r and \n are escapes. Returns false on any
// other backslash sequence or a control byte that must have been escaped.
bool DecodeText(const char* p, const char* end, std::string* out) {
  out->clear();
  while (p < end) {
    char c = *p++;
    if (c == '\0' || c == '\r' || c == '\t') return false;
    if (c != '\\') {
      out->push_back(c);
      continue;
    }
    if (p == end) return false;
    switch (*p++) {
      case '\\':
        out->push_back('\\');
        break;
      case 't':
        out->push_back('\t');
        break;
      case 'r':
        out->push_back('\r');
        break;
      case 'n':
        out->push_back('\n');
        break;
      default:
        return false;
    }
  }
  return true;
}

// Parses "<decimal id> TAB <text>" from one line without its LF.
bool ParseEntry(const char* p, const char* end, unsigned* id, std::string* text) {
  const char* tab = static_cast<const char*>(std::memchr(p, '\t', end - p));
  if (!tab || tab == p || tab - p > 5) return false;
  unsigned value = 0;
  for (const char* d = p; d < tab; ++d) {
    if (*d < '0' || *d > '9') return false;
    value = value * 10 + static_cast<unsigned>(*d - '0');
  }
  if (value > kMaxStringId) return false;
  *id = value;
  return DecodeText(tab + 1, end, text);
}

// Every line ends in LF (a missing one means a cut-off file). Lines that are
// empty or begin with '#' are comments. A catalog without entries, or with an
// id twice, is refused.
bool ParseCatalog(const std::string& data, std::map<unsigned, std::string>* strings) {
  const char* p = data.data();
  const char* end = p + data.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
    if (!lf) return false;
    if (lf != p && *p != '#') {
      unsigned id = 0;
      std::string text;
      if (!ParseEntry(p, lf, &id, &text)) return false;
      if (!strings->emplace(id, std::move(text)).second) return false;
    }
    p = lf + 1;
  }
  return !strings->empty();
}

// The entry of dir whose name equals name without regard to ASCII case, as a
// Windows file system would find it; empty when there is none. Of several
// such entries the first in byte order wins, so the choice is stable.
std::string FindNameIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::string();
  std::string best;
  while (struct dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0 && (best.empty() || best > e->d_name)) {
      best = e->d_name;
    }
  }
  closedir(d);
  return best.empty() ? best : zmo::JoinPath(dir, best);
}

// The existing file that path names: the path itself, or else the entry of its
// directory whose name matches without regard to case.
std::string ResolveInDir(const std::string& path) {
  if (zmo::FileExists(path.c_str())) return path;
  size_t slash = path.rfind(zmo::kPathSep);
  if (slash == std::string::npos) return FindNameIgnoringCase(std::string(), path);
  return FindNameIgnoringCase(path.substr(0, slash + 1), path.substr(slash + 1));
}

// A name with a directory is taken as it is; a bare name is searched for as
// Windows searches for a library: beside the program first, then in the
// current directory.
std::string ResolveDataFile(const std::string& path) {
  if (path.find(zmo::kPathSep) != std::string::npos) return ResolveInDir(path);
  std::string found = ResolveInDir(zmo::JoinPath(zmo::ProgramDirectory(), path));
  if (found.empty()) found = ResolveInDir(path);
  return found;
}

HMODULE LoadDataModule(const char* path) {
  std::string resolved = ResolveDataFile(path);
  if (resolved.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::string data;
  if (zmo::ReadWholeFile(resolved, &data) != 0) {
    SetLastError(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  auto* m = new ZmoModule;
  if (!ParseCatalog(data, &m->strings)) {
    delete m;
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return m;
}

}  // namespace

extern "C" HMODULE LoadLibraryExA(LPCSTR path, HANDLE reserved, DWORD flags) {
  if (reserved) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!(flags & LOAD_LIBRARY_AS_DATAFILE)) return LoadLibraryA(path);
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return LoadDataModule(path);
}

extern "C" int LoadStringA(HINSTANCE module, UINT id, LPSTR buf, int size) {
  if (!buf || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // A missing text reads as the empty text, never as stale buffer contents.
  buf[0] = '\0';
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // A shared object carries no string resources.
  auto it = module->dl ? module->strings.end() : module->strings.find(id);
  if (it == module->strings.end()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  size_t n = it->second.size();
  if (n > static_cast<size_t>(size - 1)) n = static_cast<size_t>(size - 1);
  std::memcpy(buf, it->second.data(), n);
  buf[n] = '\0';
  return static_cast<int>(n);
}
