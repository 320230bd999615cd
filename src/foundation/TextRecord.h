#pragma once

#include "ByteStream.h"

// Text record of the program's files: int32 number of UTF-16 code units, then the units
// little-endian without terminator. An owned text is written up to its terminating zero.

bool WriteTextRecord(ByteWriter& out, const char16_t* text);

// Reads one text record into a fresh owned text (null on failure: damaged record or no memory).
char16_t* ReadTextRecord(ByteReader& in);
