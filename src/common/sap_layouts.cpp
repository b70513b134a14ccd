// Look-ups in the layout table.
#include "common/sap_layouts.h"

#include <strings.h>

#include <cstring>

namespace zmo::sap {

const StructLayout* FindLayout(const char* structure, const char* tag, unsigned char_width) {
  if (structure == nullptr || tag == nullptr) return nullptr;
  unsigned n = 0;
  const StructLayout* all = AllLayouts(&n);
  for (unsigned i = 0; i < n; ++i) {
    if (strcasecmp(all[i].structure, structure) == 0 && std::strcmp(all[i].tag, tag) == 0 &&
        all[i].char_width == char_width) {
      return &all[i];
    }
  }
  return nullptr;
}

const StructLayout* FindLayout(const char* structure, StatLayout layout, unsigned char_width) {
  return FindLayout(structure, StatLayoutTag(layout), char_width);
}

std::optional<StatLayout> StatLayoutOfRelease(const char* release) {
  if (release == nullptr) return std::nullopt;
  switch (release[0]) {
    case '3':
      return StatLayout::k3;
    case '4':
      if (release[1] == '0') return StatLayout::k4;
      if (release[1] == '5') return StatLayout::k45B;
      return StatLayout::k46C;
    case '6':
      return StatLayout::k610;
    default:
      return std::nullopt;
  }
}

const char* StatLayoutTag(const char* release) {
  const std::optional<StatLayout> layout = StatLayoutOfRelease(release);
  return layout ? StatLayoutTag(*layout) : nullptr;
}

const FieldLayout* FindField(const StructLayout* layout, const char* name) {
  if (layout == nullptr || name == nullptr) return nullptr;
  for (unsigned i = 0; i < layout->field_count; ++i) {
    if (strcasecmp(layout->fields[i].name, name) == 0) return &layout->fields[i];
  }
  return nullptr;
}

RFCTYPE RfcTypeOfKind(FieldKind kind) {
  switch (kind) {
    case FieldKind::kChar:
      return TYPC;
    case FieldKind::kDate:
      return TYPDATE;
    case FieldKind::kTime:
      return TYPTIME;
    case FieldKind::kNumc:
      return TYPNUM;
    case FieldKind::kPacked:
      return TYPP;
    case FieldKind::kRaw:
      return TYPX;
    case FieldKind::kInt:
      return TYPINT;
    case FieldKind::kInt2:
      return TYPINT2;
    case FieldKind::kFloat:
      return TYPFLOAT;
  }
  return TYPC;
}

}  // namespace zmo::sap
