// Deleting a value, or a key with all its subkeys. The store, like NT,
// refuses to delete a key that still has subkeys, so the tree goes depth
// first.
#include <cstdio>
#include <vector>

#include "key_errors.h"
#include "zmosetval/zmosetval.h"

namespace zmo::setval {

int deleteKeyTree(HKEY key, const char* key_name) {
  for (;;) {
    // Sizes are asked afresh each round: another process may have added a
    // subkey with a longer name meanwhile.
    DWORD max_sub = 0;
    DWORD max_class = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &max_sub, &max_class, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      std::printf("*** ERROR: Unable to get subkey information for key '%s'\n", key_name);
      return kSetvalRegistryFailed;
    }
    std::vector<char> name(max_sub + 1);
    std::vector<char> cls(max_class + 1);
    DWORD name_len = static_cast<DWORD>(name.size());
    DWORD cls_len = static_cast<DWORD>(cls.size());
    LONG ret =
        RegEnumKeyExA(key, 0, name.data(), &name_len, nullptr, cls.data(), &cls_len, nullptr);
    if (ret == ERROR_NO_MORE_ITEMS) return kSetvalOk;
    if (ret != ERROR_SUCCESS) {
      std::printf("*** ERROR: Unable to enumerate subkeys of key '%s', error = %d\n", key_name,
                  static_cast<int>(ret));
      return kSetvalRegistryFailed;
    }

    HKEY sub = nullptr;
    ret = RegOpenKeyExA(key, name.data(), 0, KEY_ALL_ACCESS, &sub);
    if (ret != ERROR_SUCCESS) {
      setvalReportKeyError(ret, name.data(), kOpenKeyFailedSplit);
      return kSetvalRegistryFailed;
    }
    int status = deleteKeyTree(sub, name.data());
    RegCloseKey(sub);
    if (status != kSetvalOk) return status;

    ret = RegDeleteKeyA(key, name.data());
    if (ret != ERROR_SUCCESS) {
      setvalReportKeyError(ret, name.data(), kDeleteKeyFailed);
      return kSetvalRegistryFailed;
    }
  }
}

namespace {

int deleteValue(HKEY root, const char* key, const char* value_name) {
  HKEY h = nullptr;
  LONG ret = RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &h);
  if (ret != ERROR_SUCCESS) {
    setvalReportDamage(ret);
    std::printf(kOpenKeyFailed, key, static_cast<int>(ret));
    return kSetvalRegistryFailed;
  }
  ret = RegDeleteValueA(h, value_name);
  RegCloseKey(h);
  if (ret == ERROR_SUCCESS) return kSetvalOk;
  if (ret == ERROR_FILE_NOT_FOUND) {
    std::printf("*** ERROR: Key value '%s' not found\n", value_name);
  } else if (ret == ERROR_ACCESS_DENIED) {
    std::printf("*** ERROR: Access denied to key value '%s'\n", value_name);
  } else {
    std::printf("*** ERROR: Unable to delete key '%s', error %d\n", value_name,
                static_cast<int>(ret));
  }
  return kSetvalRegistryFailed;
}

int deleteKey(HKEY root, const char* key) {
  HKEY h = nullptr;
  LONG ret = RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &h);
  if (ret != ERROR_SUCCESS) {
    setvalReportDamage(ret);
    std::printf(kOpenKeyFailedSplit, key, static_cast<int>(ret));
    return kSetvalRegistryFailed;
  }
  int status = deleteKeyTree(h, key);
  RegCloseKey(h);
  if (status != kSetvalOk) return status;
  ret = RegDeleteKeyA(root, key);
  if (ret != ERROR_SUCCESS) {
    setvalReportKeyError(ret, key, kDeleteKeyFailed);
    return kSetvalRegistryFailed;
  }
  return kSetvalOk;
}

}  // namespace

int deleteRegEntry(HKEY root, const char* key, const char* value_name) {
  return value_name != nullptr ? deleteValue(root, key, value_name) : deleteKey(root, key);
}

}  // namespace zmo::setval
