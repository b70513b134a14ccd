// The Windows meaning of a command line. A started program receives one
// string, and its runtime splits that string into argv again; the callers
// build their argument elements for that pair of steps (" -P STATI" is two
// arguments, " -M \"a b\"" is two as well).
#pragma once

#include <string>
#include <vector>

namespace zmo {

// Joins the elements with one blank between each, as the process start does.
// A program element (the first) that holds a blank or tab and no double quote
// is quoted, so that a directory with blanks cannot shift the arguments.
std::string JoinCommandLine(const std::vector<std::string>& elements);

// Splits a command line by the Windows runtime's rules: blanks and tabs
// separate arguments; double quotes group and are removed; 2n backslashes
// before a quote give n backslashes and the quote toggles grouping; 2n+1
// give n backslashes and a literal quote; other backslashes are literal.
// A quoted empty string ("") is an empty argument.
std::vector<std::string> SplitCommandLine(const std::string& line);

// The text that SplitCommandLine reads back as exactly one argument equal to
// arg (quoted only when needed).
std::string QuoteCommandLineArgument(const std::string& arg);

}  // namespace zmo
