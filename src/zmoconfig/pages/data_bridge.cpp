// Interim stand-ins for the data layer's catalog look-up, text conversion and
// registry wrappers, until that layer's library is linked here.
#include "catalog_text.h"
#include "data_bridge.h"

#include "catalog/catalog_table.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "zmogdlib/config_key.h"

QString CatalogText(int id) {
  const char* text = zmoCatalogText(id);
  return text ? FromAnsi(text) : QString();
}

QString FromAnsi(const std::string& bytes) { return QString::fromLatin1(bytes); }

std::string ToAnsi(const QString& text) { return text.toLatin1().toStdString(); }

std::string gBinDir;

std::string GetRegValue(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, KEY_READ, &key) != 0) return "";
  char buf[255] = {};
  DWORD size = sizeof buf - 1;
  DWORD type = 0;
  std::string value;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
      0)
    value.assign(buf);
  RegCloseKey(key);
  return value;
}

void SetRegValue(const std::string& name, const std::string& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, zmo::cfg::kConfigKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != 0)
    return;
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

void LoadAppGroups() {}
void LoadTransGroups() {}

std::string BinDirFile(const std::string& name) { return zmo::JoinPath(gBinDir, name); }
