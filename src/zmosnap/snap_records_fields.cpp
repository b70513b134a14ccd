// The end of a snapshot record's line, and the reading of fields out of the
// snapshot table lines.

#include <cstdint>
#include <cstring>

#include "common/rfc_fields.h"
#include "common/sap_layouts.h"
#include "zmosnap/records.h"

namespace zmo::snap {

namespace {

const zmo::sap::FieldLayout* Field(const char* structure, const char* field, unsigned leng) {
  const zmo::sap::StructLayout* layout = zmo::sap::FindLayout(structure, "");
  const zmo::sap::FieldLayout* f = layout == nullptr ? nullptr : zmo::sap::FindField(layout, field);
  if (f == nullptr || f->offset + f->length > leng) return nullptr;
  return f;
}

}  // namespace

int snapWriteLine(std::FILE* file, zmo::RecordLine* line) {
  SnapRecordState& st = snapRecordState();
  st.cut |= line->cut;
  st.clamped |= line->clamped;
  if (!zmo::recordLineEnd(line)) return -1;
  return zmo::recordLineWrite(file, *line);
}

long long snapLineInt(const void* line, unsigned leng, const char* structure, const char* field) {
  const zmo::sap::FieldLayout* f = Field(structure, field, leng);
  if (line == nullptr || f == nullptr) return 0;
  // The library hands integers over little-endian, whatever the host.
  const auto* bytes = static_cast<const unsigned char*>(line) + f->offset;
  if (f->kind == zmo::sap::FieldKind::kInt) {
    const std::uint32_t u =
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return static_cast<std::int32_t>(u);
  }
  if (f->kind == zmo::sap::FieldKind::kInt2) {
    const std::uint16_t u = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    return static_cast<std::int16_t>(u);
  }
  return 0;
}

std::string snapLineWord(const void* line, unsigned leng, const char* structure,
                         const char* field) {
  const zmo::sap::FieldLayout* f = Field(structure, field, leng);
  if (line == nullptr || f == nullptr) return "";
  return zmo::fieldWord(static_cast<const char*>(line) + f->offset, f->length);
}

}  // namespace zmo::snap
