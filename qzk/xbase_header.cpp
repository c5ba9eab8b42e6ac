#include "qzk/xbase_header.h"

#include <cstdio>
#include <ctime>

namespace {

uint32_t u16_at(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8;
}

uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
  return u16_at(b, at) | u16_at(b, at + 2) << 16;
}

std::string format(const char* fmt, unsigned long long a, unsigned long long b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, fmt, a, b);
  return text;
}

// One 32-byte descriptor. Byte 16 is the length; byte 17 is its high byte
// for character fields (written so for texts longer than 255) and the count
// of decimals for every other type.
qzXBaseField decode_descriptor(const uint8_t* d) {
  qzXBaseField field;
  size_t n = 0;
  while (n < 11 && d[n] != 0) ++n;
  field.name.assign(reinterpret_cast<const char*>(d), n);
  field.type = static_cast<char>(d[11]);
  if (field.type == 'C') {
    field.length = d[16] | d[17] << 8;
  } else {
    field.length = d[16];
    field.decimals = d[17];
  }
  return field;
}

}  // namespace

int qzxbase_header_length(const uint8_t* first32) {
  return first32[8] | first32[9] << 8;
}

bool qzxbase_parse_header(const std::vector<uint8_t>& block, uint64_t file_size,
                          qzXBaseLayout& layout, std::string& why) {
  layout = qzXBaseLayout{};
  if (file_size == 0) {
    why = "the file is empty";
    return false;
  }
  if (file_size < 32 || block.size() < 32) {
    why = format("the file (%llu bytes) is too short for a dBase header", file_size);
    return false;
  }
  // dBase 7 (version 4, with memo 0x8C) lays out 48-byte descriptors
  // from offset 68: read as ours they would give meaningless fields.
  if ((block[0] & 0x07) == 4) {
    why = format("version byte 0x%02llX is a dBase 7 table, whose header is not read", block[0]);
    return false;
  }
  const int header_length = qzxbase_header_length(block.data());
  if (header_length < qzXBaseMinHeader) {
    why = format("header length %llu is below %llu", header_length, qzXBaseMinHeader);
    return false;
  }
  if (static_cast<uint64_t>(header_length) > file_size ||
      block.size() < static_cast<size_t>(header_length)) {
    why = format("header length %llu runs past the end of the file (%llu bytes)",
                 header_length, file_size);
    return false;
  }

  // Descriptors end at the terminator; some writers keep more bytes after
  // it inside the header, so the header length alone overcounts them.
  uint64_t fields_length = 0;
  size_t at = 32;
  while (at + 32 <= static_cast<size_t>(header_length) && block[at] != qzXBaseTerminator) {
    qzXBaseField field = decode_descriptor(&block[at]);
    field.offset = static_cast<int>(1 + fields_length);
    fields_length += static_cast<uint64_t>(field.length);
    layout.fields.push_back(std::move(field));
    at += 32;
  }
  if (layout.fields.empty()) {
    why = "the header describes no field";
    return false;
  }

  const int record_length = static_cast<int>(u16_at(block, 10));
  if (static_cast<uint64_t>(record_length) < 1 + fields_length) {
    why = format("record length %llu is below the %llu bytes of the deletion flag and fields",
                 record_length, 1 + fields_length);
    return false;
  }

  layout.header_length = header_length;
  layout.record_length = record_length;
  layout.stored_count = u32_at(block, 4);
  const uint64_t whole = (file_size - header_length) / record_length;
  layout.whole_count =
      whole < layout.stored_count ? static_cast<uint32_t>(whole) : layout.stored_count;
  return true;
}

void qzxbase_stamp_date(std::vector<uint8_t>& header, int year, int month, int day) {
  int stored = year - 1900;
  if (stored > 100) stored = year - 2000;
  header[1] = static_cast<uint8_t>(stored);
  header[2] = static_cast<uint8_t>(month);
  header[3] = static_cast<uint8_t>(day);
}

void qzxbase_stamp_date(std::vector<uint8_t>& header) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  qzxbase_stamp_date(header, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}
