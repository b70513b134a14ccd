// The line form every log of the system shares: the collectors' trace logs,
// the loader's trace and zmomsg's summary logs. A line starts with the local
// time "YYYY/MM/DD hh.mm.ss: " and each "\n" of its text reaches the file as
// CR LF, as the logs were written in text mode where they were first read.
#pragma once

#include <string>
#include <string_view>

namespace zmo {

// text with each "\n" written as CR LF.
std::string textModeText(std::string_view text);

// lead (a tab, or nothing), the time stamp of the clock's local time now and
// text, each "\n" written as CR LF. No line end is added.
std::string stampedLogText(std::string_view text, std::string_view lead = {});

}  // namespace zmo
