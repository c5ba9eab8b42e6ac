#pragma once
// Decoding and checking the header block of a dBase table. Plain bytes in,
// a layout or a reason out, so that the checks can be tried on tiny
// hand-made byte strings without a file.
#include <cstdint>
#include <string>
#include <vector>

#include "qzk/xbase.h"

struct qzXBaseLayout {
  int header_length = 0;
  int record_length = 0;
  uint32_t stored_count = 0;  // the record count the header claims
  uint32_t whole_count = 0;   // the records wholly inside the file (<= stored)
  std::vector<qzXBaseField> fields;
};

// The smallest header a table can have: 32 bytes of table description and
// at least the terminator byte.
inline constexpr int qzXBaseMinHeader = 33;
inline constexpr uint8_t qzXBaseTerminator = 0x0D;

// Reads the header length (u16 at offset 8) from the first 32 bytes.
int qzxbase_header_length(const uint8_t* first32);

// Checks `block` (the file's first bytes, at least its header length of
// them when the file is that long) against itself and against the size of
// the whole file. Fills `layout` and returns true, or returns false with the
// reason in `why`.
bool qzxbase_parse_header(const std::vector<uint8_t>& block, uint64_t file_size,
                          qzXBaseLayout& layout, std::string& why);

// Stamps the date of last change into header bytes 1 to 3 from the local
// clock: year - 1900, cut to year - 2000 when that is above 100; month 1 to
// 12; day of month.
void qzxbase_stamp_date(std::vector<uint8_t>& header);
void qzxbase_stamp_date(std::vector<uint8_t>& header, int year, int month, int day);

// The header block of a new table with these fields and no records: the
// descriptors, the terminator, the date of today and the language byte.
// Empty, with the reason in `why`, when the fields are unfit (names of 1
// to 10 bytes, lengths 1..255 and "C" up to 65535, decimals below the
// length, 1 to 2046 fields, records of at most 65535 bytes).
std::vector<uint8_t> qzxbase_new_header(const std::vector<qzXBaseNewField>& fields, int language,
                                        std::string& why);
