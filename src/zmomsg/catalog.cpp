// The catalog text of a message number, in the user's language.
#include <string>

#include "buffers.h"
#include "common/message_catalog.h"
#include "common/runtime_state.h"
#include "platform/resources.h"
#include "zmomsg/zmomsg.h"

namespace zmo::msg {

int zmomsgCatalogMessage(int id) {
  // The catalogs lie beside the program; this program writes no trace lines.
  std::string dir = zmo::ProgramDir();
  zmo::CatalogLookup lookup;
  lookup.dir = dir.c_str();
  HINSTANCE catalog = zmo::loadMessageCatalog(lookup);
  if (catalog == nullptr) return 0;
  char text[kMsgCatalogMax + 1];
  int len = LoadStringA(catalog, static_cast<UINT>(id), text, sizeof text);
  FreeLibrary(catalog);
  if (len <= 0) return 0;
  ZmomsgState& st = zmomsgState();
  msgCopyCut(st.message, sizeof st.message, text);
  return 1;
}

}  // namespace zmo::msg
