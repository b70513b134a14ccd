// One table line into one StatRecord: the text fields, the two time
// stamps, the task type, the measures in seconds and kilobytes, the record
// filter and the column switches.

#include <cstdint>
#include <cstring>

#include "common/byte_marks.h"
#include "common/metric_switches.h"
#include "statrec_internal.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

// The switches that turn each measure column on; ProcessQRBData turns on
// all of them.
struct MeasureSwitches {
  StatiMeasure measure;
  zmo::MetricSwitch switches[4];
  int count;
};
constexpr MeasureSwitches kMeasureSwitches[] = {
    {kMeasureCpu, {zmo::kSwStatiCPU, zmo::kSwApplCPU}, 2},
    {kMeasureResponse, {zmo::kSwStatiResp, zmo::kSwSLAyes, zmo::kSwSLAno, zmo::kSwApplResp}, 4},
    {kMeasureDatabase, {zmo::kSwStatiDB, zmo::kSwApplDB}, 2},
    {kMeasureKbTransfered, {zmo::kSwStatiKBtrans, zmo::kSwApplKBtrans}, 2},
    {kMeasureKbChanged, {zmo::kSwStatiKBchanged, zmo::kSwApplKBchanged}, 2},
    {kMeasureWait, {zmo::kSwStatiWait, zmo::kSwApplWait}, 2},
    {kMeasureMemory, {zmo::kSwStatiMemUsed, zmo::kSwApplMemUsed}, 2},
    {kMeasureLoad, {zmo::kSwStatiLoad, zmo::kSwApplLoad}, 2},
    {kMeasureGuiTime, {zmo::kSwStatiGUI, zmo::kSwApplGUI}, 2},
    {kMeasureGuiCount, {zmo::kSwStatiGUIcount, zmo::kSwApplGUIcount}, 2},
    {kMeasureGuiNetTime, {zmo::kSwStatiGUInetTime, zmo::kSwApplGUInetTime}, 2},
};

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char kBlanks[] = "                                        ";  // 40

// The index of the first zero byte or "+" among n bytes, or n.
int FirstZeroOrPlus(const char* p, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    const std::uint64_t marks = zmo::byteMarks(w, '\0') | zmo::byteMarks(w, '+');
    if (marks != 0) return i + zmo::firstMarkedByte(marks);
  }
  while (i < n && p[i] != '\0' && p[i] != '+') ++i;
  return i;
}

// The text of a field: its characters up to a zero byte, the first "+"
// blanked.
struct Text {
  const char* chars;
  int n;
};

// A text field of the line. A field without a "+", that is nearly every
// one, is used where it lies in the line; one with a "+" is copied into
// scratch (room for field.length + 1) to blank it.
Text ReadText(const unsigned char* bytes, const StatiField& field, char* scratch) {
  const char* src = reinterpret_cast<const char*>(bytes) + field.offset;
  const int length = static_cast<int>(field.length);
  const int stop = FirstZeroOrPlus(src, length);
  if (stop == length || src[stop] == '\0') return {src, stop};
  int n = stop + 1;
  while (n < length && src[n] != '\0') ++n;
  std::memcpy(scratch, src, n);
  scratch[n] = '\0';
  statiPlusToBlank(scratch);
  return {scratch, n};
}

bool AllBlank(const char* text, int n) {
  for (int i = 0; i < n; ++i) {
    if (text[i] != ' ') return false;
  }
  return true;
}

std::int64_t Packed(const unsigned char* bytes, const StatiField& field) {
  return field.length == 0
             ? 0
             : statiPackedValueFast(bytes + field.offset, static_cast<int>(field.length));
}

// Sums in 64 bits, holding at the limit rather than wrapping.
std::int64_t Add(std::int64_t a, std::int64_t b) {
  std::int64_t sum;
  if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? INT64_MAX : INT64_MIN;
  return sum;
}

std::int64_t Sum(const unsigned char* bytes, const StatiSum& sum) {
  std::int64_t total = 0;
  for (int i = 0; i < sum.count; ++i) total = Add(total, Packed(bytes, sum.parts[i]));
  return total;
}

// Each part converted to seconds on its own, then summed.
std::int64_t SumOfSeconds(const unsigned char* bytes, const StatiSum& sum) {
  std::int64_t total = 0;
  for (int i = 0; i < sum.count; ++i) {
    total = Add(total, statiMillisToSeconds(Packed(bytes, sum.parts[i])));
  }
  return total;
}

}  // namespace

void statiStartContext(const StatiConvertJob& job, StatiContext* ctx) {
  ctx->job = &job;
  ctx->kind = job.kind;
  ctx->fields = zmo::statRecordLayout();
  zmo::recordLineStart(&ctx->systemFields, job.kind);
  ctx->systemFields.fields = 1;  // it follows RECORD_TYPE
  statiWriteSystemFields(&ctx->systemFields, job);
  const bool all = job.allMetrics || job.metrics == nullptr;
  ctx->filter = !all;
  ctx->programs = !all && job.metrics[zmo::kSwStatiPrograms];
  ctx->transactions = !all && job.metrics[zmo::kSwStatiTransactions];
  for (const MeasureSwitches& m : kMeasureSwitches) {
    bool on = all;
    for (int i = 0; i < m.count && !on; ++i) on = job.metrics[m.switches[i]];
    ctx->measureOn[m.measure] = on;
  }
}

bool statiConvertLine(const StatiBranch& b, const StatiContext& ctx, const unsigned char* bytes,
                      zmo::RecordLine* line) {
  // T_CODE without its leading blanks, CUA_PROG blank-filled to 40.
  char tcodeScratch[kStatiTextMax];
  Text tcode{" ", 1};
  if (b.tcode.length > 0) {
    tcode = ReadText(bytes, b.tcode, tcodeScratch);
    while (tcode.n > 0 && *tcode.chars == ' ') ++tcode.chars, --tcode.n;
  }
  const zmo::RecordLayout f = ctx.fields;
  const int cuaWidth = f[zmo::kStatCuaProg].width;
  char cuaScratch[kStatiTextMax];
  Text cuaProg{kBlanks, cuaWidth};
  if (b.cuaProg.length > 0) {
    cuaProg = ReadText(bytes, b.cuaProg, cuaScratch);
    if (cuaProg.n < cuaWidth) {
      if (cuaProg.chars != cuaScratch) std::memcpy(cuaScratch, cuaProg.chars, cuaProg.n);
      std::memset(cuaScratch + cuaProg.n, ' ', cuaWidth - cuaProg.n);
      cuaProg = {cuaScratch, cuaWidth};
    }
  }

  if (ctx.filter) {
    const bool programBlank = AllBlank(cuaProg.chars, cuaProg.n);
    const bool tcodeBlank = AllBlank(tcode.chars, tcode.n);
    if (ctx.programs && programBlank) return false;
    if (ctx.transactions && tcodeBlank && (!ctx.programs || programBlank)) return false;
  }

  char scratch[kStatiTextMax];
  zmo::recordLineStart(line, ctx.kind);
  const char record_type = static_cast<char>(b.recordType);
  zmo::recordPutText(line, f[zmo::kStatRecordType], &record_type, 1);
  zmo::recordLineAppend(line, ctx.systemFields);
  Text text = ReadText(bytes, b.mandt, scratch);
  zmo::recordPutText(line, f[zmo::kStatClient], text.chars, text.n);
  const char* chars = reinterpret_cast<const char*>(bytes);
  statiWriteInterval(line, *ctx.job, chars + b.startDate.offset, chars + b.startTime.offset,
                     chars + b.endDate.offset, chars + b.endTime.offset);
  zmo::recordPutText(line, f[zmo::kStatTcode], tcode.chars, tcode.n);
  text = ReadText(bytes, b.dynpro, scratch);
  zmo::recordPutText(line, f[zmo::kStatDynpro], text.chars, text.n);
  zmo::recordPutText(line, f[zmo::kStatCuaProg], cuaProg.chars, cuaProg.n);

  const unsigned char* wpid = bytes + b.wpid.offset;
  const char wpHex[4] = {kHex[wpid[0] >> 4], kHex[wpid[0] & 0xF], kHex[wpid[1] >> 4],
                         kHex[wpid[1] & 0xF]};
  zmo::recordPutText(line, f[zmo::kStatWpId], wpHex, 4);
  const char task = statiTaskTypeLetter(bytes[b.taskType.offset]);
  zmo::recordPutText(line, f[zmo::kStatTaskType], &task, 1);
  text = ReadText(bytes, b.account, scratch);
  zmo::recordPutText(line, f[zmo::kStatUserName], text.chars, text.n);

  // The measures, each only when its column is on (0 otherwise).
  const bool* on = ctx.measureOn;
  auto put = [&](StatiMeasure m, zmo::StatField field, auto value) {
    zmo::recordPutNumber(line, f[field], on[m] ? value() : 0);
  };
  put(kMeasureCpu, zmo::kStatCpuTime, [&] { return statiMillisToSeconds(Packed(bytes, b.cpu)); });
  put(kMeasureResponse, zmo::kStatResponseTime,
      [&] { return statiMillisToSeconds(Packed(bytes, b.response)); });
  put(kMeasureDatabase, zmo::kStatDatabaseTime, [&] { return SumOfSeconds(bytes, b.database); });
  put(kMeasureKbTransfered, zmo::kStatKbTransfered,
      [&] { return statiBytesToKilobytes(Sum(bytes, b.kbTransfered)); });
  put(kMeasureKbChanged, zmo::kStatKbChanged, [&] { return Sum(bytes, b.kbChanged); });
  put(kMeasureWait, zmo::kStatWaitTime,
      [&] { return statiMillisToSeconds(Packed(bytes, b.wait)); });
  put(kMeasureMemory, zmo::kStatMemoryUsed,
      [&] { return statiBytesToKilobytes(Sum(bytes, b.memory)); });
  put(kMeasureLoad, zmo::kStatLoadTime, [&] { return SumOfSeconds(bytes, b.load); });
  // GUICNT / 1000 is rounded as the times are.
  put(kMeasureGuiTime, zmo::kStatGuiTime,
      [&] { return statiMillisToSeconds(Packed(bytes, b.guiTime)); });
  put(kMeasureGuiCount, zmo::kStatGuiCount,
      [&] { return statiMillisToSeconds(Packed(bytes, b.guiCount)); });
  put(kMeasureGuiNetTime, zmo::kStatGuiNetTime,
      [&] { return statiMillisToSeconds(Packed(bytes, b.guiNetTime)); });
  zmo::recordLineEnd(line);
  return true;
}

}  // namespace zmo::stati
