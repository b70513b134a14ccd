// The three exclusion-list loaders.
#include <utility>

#include "common/data_files.h"
#include "platform/files.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

namespace {

struct OwnPage {
  zmo::IgnoreList list;
  const char* form;
};
constexpr OwnPage kOwnPages[] = {{zmo::IgnoreList::kIds, "frmIDsToIgnore"},
                                 {zmo::IgnoreList::kProgs, "frmProgsToIgnore"},
                                 {zmo::IgnoreList::kTrans, "frmTransToIgnore"}};

}  // namespace

void LoadIgnoreList(zmo::IgnoreList list, std::vector<std::string>* entries) {
  const zmo::IgnoreListLayout& layout = zmo::ignoreListLayout(list);
  std::string path;
  std::string data;
  if (BinFilePath(layout.file, &path) != kBinDirOk) return;
  if (zmo::ReadWholeFile(path, &data) != 0) return;
  // By line, as the loader reads the list, so that both see the same
  // entries in a list written by hand.
  for (std::string& entry : zmo::readIgnoreList(data, layout)) entries->push_back(std::move(entry));
}

bool IgnoreListOwnPage(zmo::IgnoreList list, const std::string& form) {
  for (const OwnPage& page : kOwnPages) {
    if (page.list == list) return form == page.form;
  }
  return false;
}

void LoadIDsToIgnore(std::vector<std::string>* entries) {
  LoadIgnoreList(zmo::IgnoreList::kIds, entries);
}
void LoadProgsToIgnore(std::vector<std::string>* entries) {
  LoadIgnoreList(zmo::IgnoreList::kProgs, entries);
}
void LoadTransToIgnore(std::vector<std::string>* entries) {
  LoadIgnoreList(zmo::IgnoreList::kTrans, entries);
}

}  // namespace zmo::config
