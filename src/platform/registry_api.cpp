// The registry functions with their Windows names and results, over the
// store. Every call resolves its handle to a path, takes the store lock,
// brings the root's tree up to date and, when it changed the tree, writes it
// back before returning.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "registry_model.h"
#include "registry_state.h"
#include "registry_store.h"

using zmo::reg::Access;
using zmo::reg::Key;
using zmo::reg::State;
using zmo::reg::Value;

namespace {

// The key a handle names.
struct Target {
  int root = -1;
  std::vector<std::string> parts;
};

LONG ResolveHandle(HKEY handle, Target* target) {
  int root = zmo::reg::RootIndex(handle);
  if (root >= 0) {
    target->root = root;
    return ERROR_SUCCESS;
  }
  if (!handle || State().handles.count(handle) == 0) return ERROR_INVALID_HANDLE;
  target->root = handle->root;
  target->parts = handle->parts;
  return ERROR_SUCCESS;
}

// The parts of sub_key below a handle's key (NULL or "" is the key itself).
LONG SplitSubKey(const Target& base, LPCSTR sub_key, std::vector<std::string>* rel) {
  if (sub_key && zmo::reg::SplitKeyPath(sub_key, rel) != ERROR_SUCCESS) {
    return ERROR_INVALID_PARAMETER;
  }
  if (base.parts.size() + rel->size() > zmo::reg::kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

Target Join(const Target& base, const std::vector<std::string>& rel) {
  Target t = base;
  t.parts.insert(t.parts.end(), rel.begin(), rel.end());
  return t;
}

// Runs body(target, key, &changed) on the key that handle names, with this
// process's mutex and the store lock held, and writes the root back when body
// reports a change. A handle whose key is gone gives ERROR_KEY_DELETED.
template <typename Body>
LONG WithKey(HKEY handle, Access access, Body&& body) {
  zmo::reg::ClearErrorText();
  std::lock_guard<std::mutex> guard(State().mu);
  Target target;
  LONG rc = ResolveHandle(handle, &target);
  if (rc != ERROR_SUCCESS) return rc;
  zmo::reg::StoreLock store(access);
  if ((rc = store.Acquire()) != ERROR_SUCCESS) return rc;
  Key* tree = nullptr;
  if ((rc = store.Load(target.root, &tree)) != ERROR_SUCCESS) return rc;
  Key* key = zmo::reg::FindKey(tree, target.parts);
  if (!key) return ERROR_KEY_DELETED;
  bool changed = false;
  rc = body(target, key, &changed);
  if (rc == ERROR_SUCCESS && changed) rc = store.Commit(target.root);
  return rc;
}

HKEY NewHandle(Target target) {
  auto* h = new ZmoRegKey{target.root, std::move(target.parts)};
  std::lock_guard<std::mutex> guard(State().mu);
  State().handles.insert(h);
  return h;
}

// Copies a name with its NUL into a buffer of *size characters; *size then
// holds the length without the NUL.
LONG CopyName(const std::string& name, LPSTR buf, LPDWORD size) {
  if (name.size() + 1 > *size) return ERROR_MORE_DATA;
  std::memcpy(buf, name.data(), name.size());
  buf[name.size()] = '\0';
  *size = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// The data protocol of the query calls: no size, nothing to do; no buffer,
// the size only; a buffer too short, ERROR_MORE_DATA with the size needed
// and the buffer untouched.
LONG CopyData(const std::string& data, LPBYTE buf, LPDWORD size) {
  if (!size) return ERROR_SUCCESS;
  auto need = static_cast<DWORD>(data.size());
  if (buf && *size < need) {
    *size = need;
    return ERROR_MORE_DATA;
  }
  if (buf && need > 0) std::memcpy(buf, data.data(), need);
  *size = need;
  return ERROR_SUCCESS;
}

// Keys have no class and the store keeps no write times.
void NoClass(LPSTR class_name, LPDWORD class_size) {
  if (!class_size) return;
  if (class_name && *class_size > 0) class_name[0] = '\0';
  *class_size = 0;
}

void NoTime(PFILETIME t) {
  if (t) *t = FILETIME{0, 0};
}

void Put(LPDWORD out, size_t n) {
  if (out) *out = static_cast<DWORD>(n);
}

}  // namespace

extern "C" LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD, REGSAM, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Target opened;
  LONG rc = WithKey(key, Access::kRead, [&](const Target& t, Key* node, bool*) -> LONG {
    std::vector<std::string> rel;
    if (LONG r = SplitSubKey(t, sub_key, &rel)) return r;
    if (!zmo::reg::FindKey(node, rel)) return ERROR_FILE_NOT_FOUND;
    opened = Join(t, rel);
    return ERROR_SUCCESS;
  });
  if (rc == ERROR_SUCCESS) *result = NewHandle(std::move(opened));
  return rc;
}

extern "C" LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD, LPSTR, DWORD, REGSAM, void*,
                                PHKEY result, LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  Target created;
  bool made_new = false;
  LONG rc = WithKey(key, Access::kWrite, [&](const Target& t, Key* node, bool* changed) -> LONG {
    std::vector<std::string> rel;
    if (LONG r = SplitSubKey(t, sub_key, &rel)) return r;
    for (const std::string& part : rel) {
      bool made;
      node = node->AddSubkey(part, &made);
      *changed = *changed || made;
    }
    made_new = *changed;
    created = Join(t, rel);
    return ERROR_SUCCESS;
  });
  if (rc != ERROR_SUCCESS) return rc;
  if (disposition) *disposition = made_new ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(std::move(created));
  return ERROR_SUCCESS;
}

extern "C" LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD, LPDWORD type, LPBYTE data,
                                 LPDWORD data_size) {
  return WithKey(key, Access::kRead, [&](const Target&, Key* node, bool*) -> LONG {
    if (data && !data_size) return ERROR_INVALID_PARAMETER;
    const Value* v = node->FindValue(value_name ? value_name : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    return CopyData(v->data, data, data_size);
  });
}

extern "C" LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD, DWORD type, const BYTE* data,
                               DWORD data_size) {
  return WithKey(key, Access::kWrite, [&](const Target&, Key* node, bool* changed) -> LONG {
    std::string_view name = value_name ? value_name : "";
    if (name.size() > zmo::reg::kMaxValueNameLength || zmo::reg::HasControlByte(name)) {
      return ERROR_INVALID_PARAMETER;
    }
    if (!data && data_size > 0) return ERROR_INVALID_PARAMETER;
    Value* v = node->FindValue(name);
    if (!v) {
      node->values.push_back(Value{std::string(name), type, {}});
      v = &node->values.back();
    }
    v->type = type;
    if (data) {
      v->data.assign(reinterpret_cast<const char*>(data), data_size);
    } else {
      v->data.clear();
    }
    *changed = true;
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD,
                              LPSTR class_name, LPDWORD class_size, PFILETIME last_write) {
  return WithKey(key, Access::kRead, [&](const Target&, Key* node, bool*) -> LONG {
    if (!name || !name_size) return ERROR_INVALID_PARAMETER;
    if (index >= node->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    auto it = std::next(node->subkeys.begin(), index);
    if (LONG r = CopyName(it->first, name, name_size)) return r;
    NoClass(class_name, class_size);
    NoTime(last_write);
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegEnumValueA(HKEY key, DWORD index, LPSTR value_name, LPDWORD value_name_size,
                              LPDWORD, LPDWORD type, LPBYTE data, LPDWORD data_size) {
  return WithKey(key, Access::kRead, [&](const Target&, Key* node, bool*) -> LONG {
    if (!value_name || !value_name_size || (data && !data_size)) return ERROR_INVALID_PARAMETER;
    if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& v = node->values[index];
    if (LONG r = CopyName(v.name, value_name, value_name_size)) return r;
    if (type) *type = v.type;
    return CopyData(v.data, data, data_size);
  });
}

extern "C" LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key) {
  return WithKey(key, Access::kWrite, [&](const Target& t, Key* node, bool* changed) -> LONG {
    std::vector<std::string> rel;
    if (!sub_key || !*sub_key) return ERROR_INVALID_PARAMETER;
    if (LONG r = SplitSubKey(t, sub_key, &rel)) return r;
    std::string leaf = std::move(rel.back());
    rel.pop_back();
    Key* parent = zmo::reg::FindKey(node, rel);
    if (!parent) return ERROR_FILE_NOT_FOUND;
    auto it = parent->subkeys.find(leaf);
    if (it == parent->subkeys.end()) return ERROR_FILE_NOT_FOUND;
    if (!it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;  // as on NT
    parent->subkeys.erase(it);
    *changed = true;
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegDeleteValueA(HKEY key, LPCSTR value_name) {
  return WithKey(key, Access::kWrite, [&](const Target&, Key* node, bool* changed) -> LONG {
    std::string_view name = value_name ? value_name : "";
    auto it = std::find_if(node->values.begin(), node->values.end(),
                           [&](const Value& v) { return zmo::reg::NamesEqual(v.name, name); });
    if (it == node->values.end()) return ERROR_FILE_NOT_FOUND;
    node->values.erase(it);
    *changed = true;
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegQueryInfoKeyA(HKEY key, LPSTR class_name, LPDWORD class_size, LPDWORD,
                                 LPDWORD sub_keys, LPDWORD max_sub_key_len, LPDWORD max_class_len,
                                 LPDWORD values, LPDWORD max_value_name_len, LPDWORD max_value_len,
                                 LPDWORD security_descriptor, PFILETIME last_write) {
  return WithKey(key, Access::kRead, [&](const Target&, Key* node, bool*) -> LONG {
    if (class_name && !class_size) return ERROR_INVALID_PARAMETER;
    size_t longest_key = 0, longest_name = 0, longest_data = 0;
    for (const auto& sub : node->subkeys) longest_key = std::max(longest_key, sub.first.size());
    for (const Value& v : node->values) {
      longest_name = std::max(longest_name, v.name.size());
      longest_data = std::max(longest_data, v.data.size());
    }
    NoClass(class_name, class_size);
    Put(sub_keys, node->subkeys.size());
    Put(max_sub_key_len, longest_key);
    Put(max_class_len, 0);
    Put(values, node->values.size());
    Put(max_value_name_len, longest_name);
    Put(max_value_len, longest_data);
    Put(security_descriptor, 0);
    NoTime(last_write);
    return ERROR_SUCCESS;
  });
}

extern "C" LONG RegCloseKey(HKEY key) {
  zmo::reg::ClearErrorText();
  if (zmo::reg::RootIndex(key) >= 0) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> guard(State().mu);
  if (!key || State().handles.erase(key) == 0) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}
