// Which statistic record layout a release's records come in.

#include <cstring>

#include "rfc/layouts.h"
#include "zmostati/rfc_session.h"

namespace zmo::stati {

namespace {

// Tags in StatiLayout order.
constexpr const char* kLayoutTags[kStatiLayoutCount] = {"3", "45B", "46C", "4", "610"};

}  // namespace

StatiLayout statiLayoutOfRelease(const std::string& release) {
  // The first character decides, and for 4.x the second: 40B is "4", 45B is
  // "45B", every other 4.x "46C"; 6.x records come in the 6.10 layout.
  const char* tag = zmo::rfc::StatLayoutTag(release.c_str());
  if (tag == nullptr) return kStatiLayoutCount;
  for (int i = 0; i < kStatiLayoutCount; ++i) {
    if (std::strcmp(kLayoutTags[i], tag) == 0) return static_cast<StatiLayout>(i);
  }
  return kStatiLayoutCount;
}

const char* statiLayoutTag(StatiLayout layout) {
  if (layout < 0 || layout >= kStatiLayoutCount) return "";
  return kLayoutTags[layout];
}

}  // namespace zmo::stati
