// Reads the analyzer's "Marked Spectrum" and "Marked Phase" replies: text rows written
// as "%f\t%f\r\n". Each number is read as the C library's strtod reads it; any white
// space, line ends included, may stand between and before the two numbers of a row.
// Rows are found by line feeds: a row starts at the start of the text or just after a
// line feed, so a line holding only one number pairs it with the first number of the
// next line, and the next row still starts at that next line.
#pragma once

#include "app/SpectrumRow.h"

#include <cstdint>

namespace vorn {

// Parses at most `maximum` rows of the zero-terminated `text` into `rows`; a row
// whose second number is missing gets 0. Parsing ends at the first row without a
// readable first number or at the last line. Returns whether a row was read; `count`
// receives the number of rows, except when text or rows is missing or text is empty.
bool ParseSpectrumRows(const char* text, int32_t maximum, SpectrumRow* rows, int32_t& count);

}  // namespace vorn
