// The run's progress messages to the STATI summary log, each through one
// start of zmomsg: catalog texts, or built-in ones without a catalog.

#include <string>
#include <vector>

#include "common/message_catalog.h"
#include "common/pipeline.h"
#include "common/trace_log.h"
#include "platform/resources.h"
#include "zmostati/collect.h"
#include "zmostati/format.h"
#include "zmostati/state.h"

namespace zmo::stati {

namespace {

constexpr int kMessageTextSize = 128;

// Catalog text ids.
constexpr UINT kMsgAutoLoaderStart = 1488;
constexpr UINT kMsgStartDate = 1489;
constexpr UINT kMsgStartTime = 1490;
constexpr UINT kMsgEndDate = 1491;
constexpr UINT kMsgEndTime = 1492;
constexpr UINT kMsgStatiCollEnd = 1493;

// Text id of the catalog into *text. False, with missing_trace traced,
// when the text cannot be had: the catalog lacks it or there is none.
bool CatalogText(UINT id, const char* missing_trace, std::string* text) {
  if (zmo::catalogText(zmo::Catalog(), id, kMessageTextSize, text)) return true;
  zmo::writeTrace("%s", missing_trace);
  return false;
}

// The catalog text of id, or fallback.
std::string TextOr(UINT id, const char* missing_trace, const char* fallback) {
  std::string text;
  return CatalogText(id, missing_trace, &text) ? text : fallback;
}

// Sends one message; the first of a run goes without the leading tab.
void Send(const std::string& text, bool first) {
  const StatiSettings& s = statiState().settings;
  const std::vector<std::string> argv = zmo::zmomsgArgv(
      zmo::PipelineProgram::kStati, zmo::Collection::kStati, s.zmomsgPath, text, !first);
  if (statiExecCommand(s.zmomsgPath, argv) != 0) {
    zmo::writeTrace("statiExecCommand() returned unsuccessfully\n");
  }
}

// A catalog text with its value in angle brackets, or the built-in form.
void SendValue(UINT id, const char* fallback_format, const char* value_format,
               const std::string& value) {
  std::string text;
  if (CatalogText(id, "statiStartQuery() LoadString returned unsuccessfully\n", &text)) {
    text += statiFormat(value_format, value.c_str());
  } else {
    text = statiFormat(fallback_format, value.c_str());
  }
  Send(text, false);
}

}  // namespace

void statiSendStartMessages() {
  Send(TextOr(kMsgAutoLoaderStart,
              "statiStartQuery() LoadString returned unsuccessfully msgAutoLoaderStart_Tag\n",
              "Monitoring for Orvane auto loader started"),
       true);
  const StatiInterval& i = statiState().current;
  SendValue(kMsgStartDate, "Batch run start date = %.8s", " <%.8s>", i.startDate);
  SendValue(kMsgStartTime, "Batch run start time = %.6s", " <%.6s>", i.startTime);
  SendValue(kMsgEndDate, "Batch run end date = %.8s", " <%.8s>", i.endDate);
  SendValue(kMsgEndTime, "Batch run end time = %.6s", " <%.6s>", i.endTime);
}

void statiSendEndMessage() {
  Send(TextOr(kMsgStatiCollEnd,
              "statiStartQuery() LoadString returned unsuccessfully msgStatiCollEnd_Tag\n",
              "Collection of statistic records has ended"),
       false);
}

}  // namespace zmo::stati
