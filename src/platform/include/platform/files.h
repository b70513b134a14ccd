// File helpers shared by every program: names are built here with one
// separator, lines end in CR LF where the system writes text mode, renames
// never replace their target, and sizes are 64-bit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zmo {

// The path separator of every name the system builds.
constexpr char kPathSep = '/';
constexpr const char* kLineEnd = "\r\n";

// dir + separator + name; a dir with or without its trailing separator gives
// the same result, and an empty dir gives name alone.
std::string JoinPath(const std::string& dir, const std::string& name);
// dir with exactly one trailing separator (an empty dir stays empty).
std::string WithTrailingSep(const std::string& dir);

// Writes text followed by CR LF. Returns 0, or -1 when the write failed.
int WriteLineCrlf(std::FILE* f, const char* text);
int WriteLineCrlf(std::FILE* f, const std::string& text);

// Renames from to to, failing with EEXIST when to exists (the Windows rename
// never replaces a file, so an archive can never overwrite another).
// Returns 0, or -1 with errno set.
int RenameNoReplace(const char* from, const char* to);

// Size of the file in bytes, or -1 when it cannot be read.
std::int64_t FileSize64(const char* path);
bool FileExists(const char* path);

// Opens a new file with mode 0600 (it may hold a clear-text password),
// truncating an existing one. Mode is "w" or "wb". Returns nullptr and errno
// on failure.
std::FILE* OpenPrivateFile(const char* path, const char* mode);
// Opens a file for appending ("ab"), creating it with mode 0600 (a trace
// that may show a scrambled password); an existing file keeps its mode.
// Returns nullptr and errno on failure.
std::FILE* OpenPrivateAppend(const char* path);

// Directory of the running executable, with its trailing separator.
std::string ProgramDirectory();
// Path of the running executable.
std::string ProgramPath();

// Writes data to path atomically: temporary file in the same directory,
// fsync, rename over the target, fsync of the directory. Returns 0, or -1
// with errno set; on failure the old file is untouched.
int WriteFileAtomic(const std::string& path, const std::string& data, unsigned mode = 0644);
// Reads a whole file. Returns 0, or -1 with errno set.
int ReadWholeFile(const std::string& path, std::string* out);
// Takes an exclusive lock (flock) on path, created empty (mode 0600) when
// it is not there, waiting while another holder has it. Returns the
// descriptor that holds the lock (closing it lets go; a process that ends
// lets go; programs it starts do not inherit it), or -1 with errno.
int LockFileExclusive(const std::string& path);

}  // namespace zmo
