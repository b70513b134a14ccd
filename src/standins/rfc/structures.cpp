// Installed structure types: the library's own layout for
// RfcInstallStructure, the caller's offsets for RfcInstallUnicodeStructure.
#include <strings.h>

#include <cctype>

#include "state.h"

namespace zmo::rfc {
namespace {

bool IsCharType(RFC_TYPEHANDLE t) {
  return t == TYPC || t == TYPDATE || t == TYPTIME || t == TYPNUM;
}

// Length an elementary type must have (0: any length from 1).
unsigned FixedLength(RFC_TYPEHANDLE t) {
  switch (t) {
    case TYPINT:
      return 4;
    case TYPINT2:
      return 2;
    case TYPFLOAT:
      return 8;
    default:
      return 0;
  }
}

unsigned Alignment(RFC_TYPEHANDLE t, unsigned char_width) {
  unsigned fixed = FixedLength(t);
  if (fixed != 0) return fixed;
  return IsCharType(t) ? char_width : 1;
}

bool IsElementary(RFC_TYPEHANDLE t) { return t <= TYPINT2 && t != 5; }

std::string Upper(const char* s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Checks one field's type and length in form f. Returns "" or the fault.
std::string CheckField(const InstalledType::Field& fd, unsigned form) {
  if (!IsElementary(fd.type))
    return "field " + fd.name + ": type " + std::to_string(fd.type) + " is not elementary";
  unsigned fixed = FixedLength(fd.type);
  unsigned len = fd.length[form];
  if (len == 0 || (fixed != 0 && len != fixed) || (fd.type == TYPP && len > 16)) {
    return "field " + fd.name + ": length " + std::to_string(len) + " does not fit its type";
  }
  return "";
}

// The size of form f: the end of its last field, rounded up to the widest
// alignment. Returns "" or the fault (overlapping or misaligned fields).
std::string SizeOf(InstalledType* t, unsigned form) {
  static const unsigned kWidth[3] = {1, 2, 4};
  unsigned end = 0, align = 1;
  for (const InstalledType::Field& fd : t->fields) {
    unsigned a = Alignment(fd.type, kWidth[form]);
    if (fd.offset[form] < end || fd.offset[form] % a != 0) {
      return "field " + fd.name + ": offset " + std::to_string(fd.offset[form]) +
             " overlaps or is misaligned";
    }
    end = fd.offset[form] + fd.length[form];
    if (a > align) align = a;
  }
  t->size[form] = (end + align - 1) / align * align;
  return "";
}

RFC_RC Install(InstalledType t, RFC_TYPEHANDLE* handle) {
  auto& st = State();
  HandlerCall notify;
  std::lock_guard<std::mutex> lock(st.mu);
  std::string fault;
  const unsigned forms = t.unicode ? 3 : 1;
  for (unsigned f = 0; f < forms && fault.empty(); ++f) {
    for (const auto& fd : t.fields) {
      if (fault.empty()) fault = CheckField(fd, f);
    }
    if (fault.empty()) fault = SizeOf(&t, f);
  }
  if (fault.empty() && t.fields.empty()) fault = "no fields";
  std::string unused;
  if (fault.empty()) {
    if (auto land = CurrentLandscape(st, &unused)) {
      for (const auto& [name, size] : land->faults.install) {
        if (name == t.name && (size == 0 || size == t.size[0]))
          fault = "fault of the simulated library";
      }
    }
  }
  if (!fault.empty()) {
    SetError(st, RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM", "RfcInstallStructure",
             "structure " + t.name + " not installed: " + fault);
    notify.Arm(st, "RfcInstallStructure");
    return RFC_FAILURE;
  }
  st.types.push_back(std::move(t));
  *handle = kFirstStructureHandle + static_cast<RFC_TYPEHANDLE>(st.types.size() - 1);
  return RFC_OK;
}

RFC_RC Refuse(const char* why) {
  auto& st = State();
  HandlerCall notify;
  std::lock_guard<std::mutex> lock(st.mu);
  SetError(st, RFC_ERROR_PROGRAM, "RFC_ERROR_PROGRAM", "RfcInstallStructure", why);
  notify.Arm(st, "RfcInstallStructure");
  return RFC_FAILURE;
}

}  // namespace

const InstalledType* FindType(const RfcLibState& st, RFC_TYPEHANDLE handle) {
  if (handle < kFirstStructureHandle || handle - kFirstStructureHandle >= st.types.size())
    return nullptr;
  return &st.types[handle - kFirstStructureHandle];
}

}  // namespace zmo::rfc

using namespace zmo::rfc;

extern "C" RFC_RC RfcInstallStructure(const char* name, RFC_TYPE_ELEMENT* elements,
                                      unsigned entries, RFC_TYPEHANDLE* type_handle) {
  if (name == nullptr || (elements == nullptr && entries > 0) || type_handle == nullptr)
    return Refuse("missing argument");
  InstalledType t;
  t.name = Upper(name);
  unsigned offset = 0;
  for (unsigned i = 0; i < entries; ++i) {
    if (elements[i].name == nullptr) return Refuse("field without a name");
    InstalledType::Field fd;
    fd.name = elements[i].name;
    fd.type = elements[i].type;
    fd.decimals = elements[i].decimals;
    fd.length[0] = elements[i].length;
    if (IsElementary(fd.type)) {
      unsigned a = Alignment(fd.type, 1);
      offset = (offset + a - 1) / a * a;
    }
    fd.offset[0] = offset;
    elements[i].offset = offset;
    offset += fd.length[0];
    t.fields.push_back(fd);
  }
  return Install(std::move(t), type_handle);
}

extern "C" RFC_RC RfcInstallUnicodeStructure(const char* name, RFC_UNICODE_TYPE_ELEMENT* elements,
                                             unsigned entries, unsigned /*flags*/,
                                             void* /*reserved*/, RFC_TYPEHANDLE* type_handle) {
  if (name == nullptr || (elements == nullptr && entries > 0) || type_handle == nullptr)
    return Refuse("missing argument");
  InstalledType t;
  t.name = Upper(name);
  t.unicode = true;
  for (unsigned i = 0; i < entries; ++i) {
    const RFC_UNICODE_TYPE_ELEMENT& e = elements[i];
    if (e.name == nullptr) return Refuse("field without a name");
    InstalledType::Field fd;
    fd.name = e.name;
    fd.type = e.type;
    fd.decimals = e.decimals;
    fd.length[0] = e.c1_length;
    fd.length[1] = e.c2_length;
    fd.length[2] = e.c4_length;
    fd.offset[0] = e.c1_offset;
    fd.offset[1] = e.c2_offset;
    fd.offset[2] = e.c4_offset;
    const bool chars = IsCharType(e.type);
    if (e.c2_length != (chars ? 2 : 1) * e.c1_length ||
        e.c4_length != (chars ? 4 : 1) * e.c1_length) {
      return Refuse(
          ("structure " + t.name + ": field " + fd.name + " has lengths that do not match its type")
              .c_str());
    }
    t.fields.push_back(fd);
  }
  return Install(std::move(t), type_handle);
}
