// The ten conversion branches (five release layouts, batch-step and normal
// records) by the names of the fields they read. Where those fields lie
// comes from the product's one layout table (common/sap_layouts.h), which
// the RFC stand-in's encoder writes by too, so the decoder holds no
// positions of its own.

#include "statrec_internal.h"

namespace zmo::stati {

namespace {

using zmo::sap::FieldKind;
using zmo::sap::FieldLayout;
using zmo::sap::StatLayout;
using zmo::sap::StructLayout;

// Database-time components, bytes transferred, physically changed records,
// memory and load times. The 6.10 layouts have no MCTI and fewer counters.
constexpr const char* kDatabase[] = {"READDIRTI", "READSEQTI", "INSTI", "UPDTI",
                                     "COMMITTI",  "MCTI",      "DELTI", nullptr};
constexpr const char* kDatabase610[] = {"READDIRTI", "READSEQTI", "INSTI", "UPDTI",
                                        "COMMITTI",  "DELTI",     nullptr};
constexpr const char* kKbTransfered[] = {"NTABCNT",  "DSQLCNT",  "ABAPSCNT", "ABAPLCNT",
                                         "DYNPSCNT", "DYNPLCNT", "CUALCNT",  "QUECNT",
                                         "DDICCNT",  "RFCCNT",   nullptr};
constexpr const char* kKbTransfered610[] = {"DSQLCNT", "QUECNT", "RFCCNT", nullptr};
constexpr const char* kKbChanged[] = {"PHYINSCNT", "PHYUPDCNT", "PHYDELCNT", nullptr};
constexpr const char* kMemory[] = {"PRIVSUM", "USEDBYTES", "MAXROLL", "MAXPAGE", nullptr};
constexpr const char* kLoad[] = {"GENERATETI", "CUALOADTI", "REPLOADTI", "DYNPLOADTI", nullptr};

struct BranchSpec {
  StatLayout layout;
  bool batch;
  bool tcode;    // T_CODE from TCODE, else one blank
  bool cuaProg;  // CUA_PROG from CUA_PROG, else 40 blanks
  bool gui;      // GUITIME, GUICNT, GUINETTIME
  const char* const* database;
  const char* const* kbTransfered;
};

// The normal branches of 3.x, 4.0 and 4.5B read the whole CUA_PROG field of
// their layouts (8 and 40 characters).
constexpr BranchSpec kBranches[] = {
    {StatLayout::k3, true, true, false, false, kDatabase, kKbTransfered},
    {StatLayout::k4, true, false, false, false, kDatabase, kKbTransfered},
    {StatLayout::k45B, true, false, false, false, kDatabase, kKbTransfered},
    {StatLayout::k46C, true, false, false, false, kDatabase, kKbTransfered},
    {StatLayout::k610, true, false, false, false, kDatabase610, kKbTransfered610},
    {StatLayout::k3, false, true, true, false, kDatabase, kKbTransfered},
    {StatLayout::k4, false, true, true, false, kDatabase, kKbTransfered},
    {StatLayout::k45B, false, true, true, false, kDatabase, kKbTransfered},
    {StatLayout::k46C, false, true, true, true, kDatabase, kKbTransfered},
    {StatLayout::k610, false, true, true, true, kDatabase610, kKbTransfered610},
};

// Looks a field up; *missing keeps the first name that was not found, or
// was found with a kind or length the conversion cannot read.
class Resolver {
 public:
  explicit Resolver(const StructLayout* layout) : layout_(layout) {}

  StatiField Get(const char* name, FieldKind kind, unsigned length = 0) {
    const FieldLayout* f = zmo::sap::FindField(layout_, name);
    const bool usable = f != nullptr && f->kind == kind && (length == 0 || f->length == length) &&
                        f->length < kStatiTextMax && f->offset + f->length <= layout_->line_size;
    if (!usable) {
      if (missing_ == nullptr) missing_ = name;
      return StatiField{};
    }
    return StatiField{f->offset, f->length};
  }
  StatiField Packed(const char* name) { return Get(name, FieldKind::kPacked); }
  void Sum(const char* const* names, StatiSum* sum) {
    sum->count = 0;
    for (; *names != nullptr && sum->count < kStatiMaxParts; ++names) {
      sum->parts[sum->count++] = Packed(*names);
    }
  }
  const char* missing() const { return missing_; }

 private:
  const StructLayout* layout_;
  const char* missing_ = nullptr;
};

}  // namespace

int statiResolveBranch(StatLayout release_layout, bool batch, StatiBranch* branch,
                       const char** missing) {
  *branch = StatiBranch{};
  *missing = nullptr;
  const BranchSpec* spec = nullptr;
  for (const BranchSpec& s : kBranches) {
    if (s.batch == batch && s.layout == release_layout) spec = &s;
  }
  const StructLayout* layout =
      spec == nullptr
          ? nullptr
          : zmo::sap::FindLayout(batch ? zmo::sap::kBatchStructure : zmo::sap::kNormalStructure,
                                 release_layout, 1);
  if (layout == nullptr) {
    *missing = batch ? zmo::sap::kBatchStructure : zmo::sap::kNormalStructure;
    return 1;
  }
  Resolver r(layout);
  StatiBranch& b = *branch;
  b.layout = layout;
  b.recordType = batch ? StatiRecordKind::kBatch : StatiRecordKind::kNormal;
  b.mandt = r.Get("MANDT", FieldKind::kChar);
  b.startDate = r.Get("STARTDATE", FieldKind::kDate, 8);
  b.startTime = r.Get("STARTTIME", FieldKind::kTime, 6);
  b.endDate = r.Get("ENDDATE", FieldKind::kDate, 8);
  b.endTime = r.Get("ENDTIME", FieldKind::kTime, 6);
  if (spec->tcode) b.tcode = r.Get("TCODE", FieldKind::kChar);
  if (spec->cuaProg) b.cuaProg = r.Get("CUA_PROG", FieldKind::kChar);
  b.dynpro = r.Get("DYNPRONR", FieldKind::kChar);
  b.wpid = r.Get("WPID", FieldKind::kRaw, 2);
  b.taskType = r.Get("TASKTYPE", FieldKind::kRaw, 1);
  b.account = r.Get("ACCOUNT", FieldKind::kChar);
  b.cpu = r.Packed("CPUTI");
  b.response = r.Packed("RESPTI");
  b.wait = r.Packed("QUEUETI");
  r.Sum(spec->database, &b.database);
  r.Sum(spec->kbTransfered, &b.kbTransfered);
  r.Sum(kKbChanged, &b.kbChanged);
  r.Sum(kMemory, &b.memory);
  r.Sum(kLoad, &b.load);
  if (spec->gui) {
    b.guiTime = r.Packed("GUITIME");
    b.guiCount = r.Packed("GUICNT");
    b.guiNetTime = r.Packed("GUINETTIME");
  }
  *missing = r.missing();
  return *missing == nullptr ? 0 : 1;
}

}  // namespace zmo::stati
