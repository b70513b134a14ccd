// The record field writer and the field rules of the five database kinds:
// Oracle records are fixed width without separators, Corva text fields are
// in double quotes, the other kinds write fields plain. The record writers
// put "," between two fields unless FieldOracle() is set.
#pragma once

#include <cstdio>

namespace zmo {

// Kind numbers, in the order of their names.
enum DbKind { kDbNone = 0, kDbOracle = 1, kDbCorva = 2, kDbMssql = 3, kDbSybase = 4, kDbTessel = 5 };

// The kind names as the registry value DB holds them.
inline constexpr const char* kDbKindNames[] = {"Oracle", "Corva", "MSSQL", "Sybase", "Tessel"};

// The kind number of a DB text (whole text, case-sensitive), or kDbNone.
int dbKindFromName(const char* text);

// Sets the kind number and with it the Oracle and Corva flags; any number
// outside 1-5 clears them.
void setDatabaseKind(int kind);
int DatabaseKind();
int FieldOracle();
int FieldCorva();

// A field's text is formatted into a buffer of this size; longer texts are
// cut to its size - 1 characters.
constexpr int kFieldMax = 1024;

// Formats one field and writes it by the rules of the kind in force: quote 1
// marks a text field (quoted for Corva), 0 a number or time; Oracle pads the
// text with blanks to width and never cuts it. Returns 0, or -1 when the
// write failed.
int writeField(std::FILE* file, int width, int quote, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

}  // namespace zmo
