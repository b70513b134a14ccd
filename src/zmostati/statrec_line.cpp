// The line buffer one StatRecord is built in, with the field rules of the
// database kinds: Oracle pads (and cuts) every field to its width without
// separators, the others put "," between fields, Corva quotes text fields.

#include <cstring>

#include "common/availability.h"
#include "common/field_writer.h"
#include "common/time_stamps.h"
#include "common/trace_log.h"
#include "statrec_internal.h"
#include "zmostati/state.h"
#include "zmostati/timeconv.h"

namespace {

// Room left for field text, keeping two bytes for the line's CR LF.
int Room(const StatiLine& line) { return kStatiLineMax - 2 - line.len; }

void Separator(StatiLine* line) {
  if (!line->oracle && line->fields > 0 && Room(*line) > 0) line->text[line->len++] = ',';
  ++line->fields;
}

void Put(StatiLine* line, const char* text, int n) {
  if (n > Room(*line)) {
    n = Room(*line);
    line->cut = 1;
  }
  std::memcpy(line->text + line->len, text, n);
  line->len += n;
}

void Pad(StatiLine* line, int n, int width) {
  int blanks = width - n;
  if (blanks > Room(*line)) blanks = Room(*line);
  if (blanks <= 0) return;
  std::memset(line->text + line->len, ' ', blanks);
  line->len += blanks;
}

constexpr std::int64_t kPowersOfTen[] = {1,
                                         10,
                                         100,
                                         1000,
                                         10000,
                                         100000,
                                         1000000,
                                         10000000,
                                         100000000,
                                         1000000000,
                                         10000000000,
                                         100000000000,
                                         1000000000000,
                                         10000000000000,
                                         100000000000000,
                                         1000000000000000,
                                         10000000000000000,
                                         100000000000000000,
                                         1000000000000000000};
constexpr int kMaxNumberWidth = 18;

}  // namespace

void statiLineStart(StatiLine* line, int kind) {
  line->len = 0;
  line->fields = 0;
  line->kind = kind;
  line->oracle = kind == zmo::kDbOracle;
  line->corva = kind == zmo::kDbCorva;
  line->cut = 0;
  line->clamped = 0;
}

void statiLinePutText(StatiLine* line, const char* text, int n, int width) {
  Separator(line);
  if (line->oracle) {
    if (n > width) {
      n = width;
      line->cut = 1;
    }
    Put(line, text, n);
    Pad(line, n, width);
  } else if (line->corva) {
    Put(line, "\"", 1);
    Put(line, text, n);
    Put(line, "\"", 1);
  } else {
    Put(line, text, n);
  }
}

void statiLinePutPlain(StatiLine* line, const char* text, int n, int width) {
  Separator(line);
  Put(line, text, n);
  if (line->oracle) Pad(line, n, width);
}

void statiLinePutNumber(StatiLine* line, std::int64_t value, int width) {
  Separator(line);
  if (width < 1) width = 1;
  if (width > kMaxNumberWidth) width = kMaxNumberWidth;
  const std::int64_t most = kPowersOfTen[width] - 1;
  const std::int64_t least = -(kPowersOfTen[width - 1] - 1);
  if (value > most || value < least) {
    value = value > most ? most : least;
    line->clamped = 1;
  }
  if (width > Room(*line)) {
    line->cut = 1;
    return;
  }
  char* out = line->text + line->len;
  const bool negative = value < 0;
  std::uint64_t v = negative ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value);
  int i = width;
  do {
    out[--i] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0 && i > 0);
  if (negative && i > 0) out[--i] = '-';
  while (i > 0) out[--i] = ' ';
  line->len += width;
}

void statiLineAppend(StatiLine* line, const StatiLine& part) {
  Put(line, part.text, part.len);
  line->fields += part.fields - 1;
  line->cut |= part.cut;
  line->clamped |= part.clamped;
}

bool statiLineEnd(StatiLine* line) {
  if (line->len + 2 > kStatiLineMax) return false;
  line->text[line->len++] = '\r';
  line->text[line->len++] = '\n';
  return true;
}

void statiWriteSystemFields(StatiLine* line, const StatiConvertJob& job) {
  char text[kStatiLineMax];
  int n = zmo::formatRfcDestination(text, sizeof text, job.shortHost, job.systemId, job.sysnr);
  statiLinePutText(line, text, n, zmo::kDestinationWidth);
  statiLinePutText(line, job.host, static_cast<int>(std::strlen(job.host)), zmo::kHostNameWidth);
  n = zmo::formatSystemLabel(text, sizeof text, job.systemId, job.dbHost);
  statiLinePutText(line, text, n, zmo::kSystemLabelWidth);
}

namespace {

// One stamp of 8 date and 6 time characters, moved to GMT when the job
// says so. A stamp that cannot be moved (not a date) is written as received.
// A zero byte in a field stands for a blank, so that the stamp keeps its
// length.
void PutStamp(StatiLine* line, const StatiConvertJob& job, const char* date, const char* time) {
  char d[9], t[7];
  std::memcpy(d, date, 8);
  std::memcpy(t, time, 6);
  d[8] = t[6] = '\0';
  for (char* c = d; c < d + 8; ++c) *c = *c == '\0' ? ' ' : *c;
  for (char* c = t; c < t + 6; ++c) *c = *c == '\0' ? ' ' : *c;
  statiPlusToBlank(d);
  statiPlusToBlank(t);
  if (job.gmt) {
    char gd[9], gt[7];
    if (statiConvertTimeToGMT(d, t, job.remoteOffset, gd, gt) == 0) {
      std::memcpy(d, gd, 8);
      std::memcpy(t, gt, 6);
    } else if (statiFirstNote(kNoteGmtFailed)) {
      zmo::writeTrace("statiWriteInterval() time stamp <%s%s> cannot be moved to GMT, written as received\n", d,
                      t);
    }
  }
  char stamp[zmo::kTimeStampMax];
  const int n = zmo::putTimeStamp(stamp, line->kind, d, t);
  statiLinePutPlain(line, stamp, n, n);
}

}  // namespace

void statiWriteInterval(StatiLine* line, const StatiConvertJob& job, const char* startDate,
                        const char* startTime, const char* endDate, const char* endTime) {
  PutStamp(line, job, startDate, startTime);
  PutStamp(line, job, endDate, endTime);
}

bool statiFirstNote(StatiNote note) {
  StatiState& st = statiState();
  StatiRecordNotes& notes = st.recordNotes;
  if (notes.pass != st.passCounter) {
    notes.pass = st.passCounter;
    notes.traced = 0;
  }
  if (notes.traced & note) return false;
  notes.traced |= note;
  return true;
}
