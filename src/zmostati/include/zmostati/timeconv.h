// Date and time conversions between the collector's local time, the remote
// SAP system's time and GMT. Dates are YYYYMMDD, times hhmmss. The fields
// are wall-clock fields: shifting them by a number of seconds is calendar
// arithmetic that no time zone takes part in, so a daylight-saving change of
// this machine never moves a remote interval or a GMT time stamp by an hour.
#pragma once

#include <ctime>

namespace zmo::stati {

// Reads date (up to 8 characters) and time (up to 6) into *tm, normalised:
// a month 00 or day 00 rolls back into the month or year before. Returns 0,
// or 1 (traced) when the result cannot be written as an 8-digit date.
int statiConvertTimeString2TmUTC(const char* date, const char* time, std::tm* tm);
// Normalises *tm and writes it into exactly 8 date and 6 time characters,
// without a terminating zero. Returns 0, or 1 (traced) as above.
int statiConvertTimeTmUtc2String(char* date, char* time, std::tm* tm);
// date and time minus offset seconds, written as 8 and 6 characters into
// outDate and outTime (each ended with a zero; 9 and 7 bytes). Returns 0 or 1.
int statiConvertTimeToGMT(const char* date, const char* time, int offset, char* outDate,
                          char* outTime);
// True when every character is a blank, the empty text included; false for
// no text.
bool statiIsBlank(const char* text);

// Builds the remote interval from the current one, the remote offset and
// the local offset to UTC (seconds). Returns 0 or 1.
int statiGetRemoteSystemQueryInterval();

}  // namespace zmo::stati
