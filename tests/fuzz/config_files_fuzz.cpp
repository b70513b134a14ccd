// The configurator's data-file loaders on any file: the first byte of an
// input chooses the file, the rest is its contents, written into a BinDir of
// the target's own and read by the loader the pages call. What each loader
// holds afterwards must be what its file format allows.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/data_files.h"
#include "fuzz_support.h"
#include "platform/files.h"
#include "zmoconfig/config_state.h"
#include "zmoconfig/config_ui.h"
#include "zmoconfig/loaders.h"

namespace {

using namespace zmo::config;

using zmo_fuzz::Check;

const std::string& BinDir() {
  static const zmo_fuzz::OwnDir dir("zmo_fuzz_config");
  return dir.path;
}

const char* const kFiles[] = {
    "zmoIDsToIgnore.dat", "zmoProgsToIgnore.dat", "zmoTransToIgnore.dat", "zmoAppGroup.dat",
    "zmoTransGroup.dat",  "zmoserver.dat",        "zmotcodes.dat",        "zmoztcodes.dat",
};

std::string Write(const char* name, const std::string& data) {
  const std::string path = zmo::JoinPath(BinDir(), name);
  Check(zmo::WriteFileAtomic(path, data) == 0);
  return path;
}

void IgnoreList(zmo::IgnoreList list, const std::string& data) {
  const zmo::IgnoreListLayout& layout = zmo::ignoreListLayout(list);
  Write(layout.file, data);
  std::vector<std::string> entries;
  LoadIgnoreList(list, &entries);
  for (const std::string& e : entries) {
    Check(!e.empty() && e.size() <= layout.entry.width);
    Check(zmo::trimBlanks(e) == e && zmo::cp1252Upper(e) == e);
    for (char c : e) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  }
}

void Groups(bool app, const std::string& data) {
  Write(app ? zmo::kAppGroupFile : zmo::kTransGroupFile, data);
  if (app) {
    LoadAppGroups();
    Check(gAppGroupCount >= 0 && gAppGroupCount <= kMaxTableRows);
    Check(static_cast<int>(gAppGroups.size()) == gAppGroupCount + 1);
  } else {
    LoadTransGroups();
    Check(gTransGroupCount >= 0 && gTransGroupCount <= kMaxTableRows);
    Check(static_cast<int>(gTransGroups.size()) == gTransGroupCount + 1);
  }
}

void Servers(const std::string& data) {
  gServerFile = Write(zmo::kServerFileName, data);
  ServerLists lists;
  if (LoadServerFile("frmServers", {}, &lists) == kServerLoadOk) {
    Check(static_cast<int>(lists.lstServer.size()) == gServerCount);
    Check(static_cast<int>(gServers.size()) == gServerCount + 1);
  }
  ServerLists copy_lists;
  std::vector<ServerRow> rows;
  LoadServerFileCopy("frmSpecRun", {"a.b 00"}, &copy_lists, &rows);
}

void TCodes(const std::string& data) {
  // The standard list, the customer list and the code asked for.
  const size_t cut = data.size() / 2;
  Write(zmo::kTCodeFile, data.substr(0, cut));
  Write(zmo::kCustomTCodeFile, data.substr(cut));
  const size_t end = data.find_first_of("\r\n");
  IsStandardTCode(data.substr(0, end == std::string::npos ? 20 : end));
  IsStandardTCode("VA01");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return 0;
  SetConfigUi(nullptr);
  ResetConfigState();
  gBinDir = BinDir();
  const std::string data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  switch (bytes[0] % 7) {
    case 0:
      IgnoreList(zmo::IgnoreList::kIds, data);
      break;
    case 1:
      IgnoreList(zmo::IgnoreList::kProgs, data);
      break;
    case 2:
      IgnoreList(zmo::IgnoreList::kTrans, data);
      break;
    case 3:
      Groups(true, data);
      break;
    case 4:
      Groups(false, data);
      break;
    case 5:
      Servers(data);
      break;
    default:
      TCodes(data);
      break;
  }
  // Each input sees only its own file.
  for (const char* name : kFiles) std::remove(zmo::JoinPath(BinDir(), name).c_str());
  ResetConfigState();
  return 0;
}
