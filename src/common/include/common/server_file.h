// The application-server file as both collectors read it: the whole file in
// memory, split into lines at LF, CR and its end, and every line long enough
// to be a server record cut into its fields by column.
//
// The record layout is the one of common/data_files.h. Each field is read
// inside its own columns only, so a blank field is empty and a short line
// has no field past its end; nothing is ever taken from the next line. The
// collection window fields are not read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/data_files.h"

namespace zmo {

// Lines shorter than this are no servers (blank lines, the LF of CR LF):
// a server line reaches at least to the collection window.
constexpr size_t kServerLineMin = kServerWindowStart.offset;

// The configurator rewrites the file by deleting and creating it, so a reader
// may find it missing for a moment: the open is tried this often, this far
// apart, before it counts as failed.
constexpr int kServerFileAttempts = 10;
constexpr int kServerFileRetryMs = 3000;

// One server line, field by field. Every text is the field's first word.
struct ServerLine {
  std::string host;  // the whole host field, a router string included
  std::string user;
  std::string password;  // scrambled, as stored
  std::string sid;
  std::string client;
  int sysnr = 0;         // decimal value of the system-number field
  std::string language;  // empty: the system's default logon language
};

// Reads the file at path whole into *data. The open is tried up to
// kServerFileAttempts times; after each failed attempt it traces "open infile
// <path> failed. attempt <n>. sleeping for <3> sec" and sleeps on the clock.
// Returns 0; 1 when the file could not be opened; 2 when its size could not
// be had (getFileSize traced why); 3 when reading failed.
constexpr int kServerFileNoOpen = 1;
constexpr int kServerFileNoSize = 2;
constexpr int kServerFileReadFailed = 3;
int readServerFile(const char* path, std::string* data);

// The next server line of data at or after *pos, which moves behind it.
// False when no server line is left.
bool nextServerLine(std::string_view data, size_t* pos, std::string_view* line);

// Cuts a server line into its fields (see the layout above).
void parseServerLine(std::string_view line, ServerLine* server);

// The host of a host field: its text after the last "/" (the whole field
// when it has none), so a router string gives the application server.
std::string serverHostName(std::string_view host_field);
// A host up to its first ".".
std::string serverShortHost(std::string_view host);

}  // namespace zmo
