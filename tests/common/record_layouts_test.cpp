#include "common/record_layouts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(RecordLayouts, OracleColumnsOfEachFile) {
  EXPECT_EQ(zmo::statRecordLayout().size(), static_cast<size_t>(zmo::kStatFieldCount));
  EXPECT_EQ(zmo::layoutColumns(zmo::statRecordLayout()), 307);
  EXPECT_EQ(zmo::layoutColumns(zmo::snapCpuLayout()), 208);
  EXPECT_EQ(zmo::layoutColumns(zmo::snapDiskLayout()), 166);
  EXPECT_EQ(zmo::layoutColumns(zmo::snapLanLayout()), 174);
  EXPECT_EQ(zmo::layoutColumns(zmo::availLayout()), 102);
  EXPECT_EQ(zmo::layoutColumns(zmo::snapCpuLayout().first(zmo::kSnapPrefixCount)), 104);
}

TEST(RecordLayouts, SnapshotRecordsShareTheirPrefix) {
  const zmo::RecordLayout cpu = zmo::snapCpuLayout();
  for (zmo::RecordLayout other : {zmo::snapDiskLayout(), zmo::snapLanLayout()}) {
    for (int i = 0; i < zmo::kSnapPrefixCount; ++i) {
      EXPECT_STREQ(other[i].name, cpu[i].name);
      EXPECT_EQ(other[i].width, cpu[i].width);
      EXPECT_EQ(other[i].type, cpu[i].type);
    }
  }
  EXPECT_STREQ(cpu[zmo::kSnapDate].name, "snap_date");
  EXPECT_EQ(cpu[zmo::kSnapDate].column, zmo::ColumnType::kTimestamp);
}

TEST(RecordLayouts, FieldsByTheirPlaceInTheStatRecord) {
  const zmo::RecordLayout f = zmo::statRecordLayout();
  const struct {
    int field;
    const char* name;
    int width;
    zmo::FieldType type;
  } cases[] = {
      {zmo::kStatRecordType, "record_type", 1, zmo::FieldType::kText},
      {zmo::kStatStartDate, "start_date", 14, zmo::FieldType::kPlain},
      {zmo::kStatCuaProg, "cua_prog", 40, zmo::FieldType::kText},
      {zmo::kStatUserName, "user_name", 30, zmo::FieldType::kText},
      {zmo::kStatKbChanged, "kb_changed", 12, zmo::FieldType::kNumber},
      {zmo::kStatGuiNetTime, "gui_net_time", 8, zmo::FieldType::kNumber},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(f[c.field].name, c.name);
    EXPECT_EQ(f[c.field].width, c.width) << c.name;
    EXPECT_EQ(f[c.field].type, c.type) << c.name;
  }
}

}  // namespace
