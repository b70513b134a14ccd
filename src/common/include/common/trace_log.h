// The collectors' trace log: one file per program in the program directory,
// every line stamped with the local time, rolled over to one older copy when
// it has grown past a size limit.
//
// Lines are written in text mode: every "\n" of a caller's text reaches the
// file as CR LF. The writer is locked, so the service thread and the control
// handler never tear each other's lines.
#pragma once

#include <cstdarg>

#include "common/config_table.h"
#include "platform/registry.h"

namespace zmo {

// The size limit until a registry reader sets another one, in bytes: the
// default of the size-limit values.
inline constexpr const char* kDefaultTraceSizeLimitText = "1048576";
constexpr int kDefaultTraceSizeLimit = configDefaultNumber(kDefaultTraceSizeLimitText);
// The smallest limit the size-limit rule accepts.
constexpr int kMinTraceSizeLimit = 512;
// The caller's text is formatted into a buffer of this size; longer texts are
// cut to its size - 1 characters.
constexpr int kTraceLineMax = 1024;
// A program directory longer than this gets no log.
constexpr int kTraceDirMax = 400;
// The size is checked before every this-many-th line.
constexpr int kTraceCheckEvery = 100;

// printf-style. Writes the time-stamp prefix and the formatted text. Returns
// the number of characters of the caller's text written (the prefix not
// counted), or 0 when the switch is off or no log could be opened.
int writeTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
int vwriteTrace(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// The trace switch: off, the writer does nothing.
void SetTraceSwitch(bool on);
bool TraceSwitch();
// The rollover threshold in bytes.
void SetTraceSizeLimit(int bytes);
int TraceSizeLimit();

// Paths of the log and of its rolled copy ("" until the log was opened).
const char* TraceLogPath();
const char* TraceOldPath();

// The row of a size-limit value: read into a 128-byte buffer, a value that
// cannot be read keeps the default.
constexpr ConfigRow traceSizeLimitRow(const char* name) {
  return ConfigRow{.name = name,
                   .maxChars = 127,
                   .missing = ConfigMissing::kDefault,
                   .defaultText = kDefaultTraceSizeLimitText,
                   .type = ConfigType::kTextOrMissing,
                   .lines = ConfigLines::kUsingDefault,
                   .unit = "byte"};
}

// The size-limit rule of the collectors' registry readers: sets the limit to
// the decimal value of value_name (read by traceSizeLimitRow) under the open
// configuration key when it is at least kMinTraceSizeLimit, else to the
// default, tracing which. Returns 0.
int applyTraceSizeLimit(HKEY config_key, const char* value_name);

// Closes the log and puts every item of the writer back to its start value.
void ResetTraceLog();

}  // namespace zmo
