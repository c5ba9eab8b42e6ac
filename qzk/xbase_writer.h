#pragma once
// qzXBaseWriter: writes a new dBase table of many records in one pass,
// record after record, without reading anything back (qzXBase appends one
// record at a time in place, which is right for a few records and slow
// for a hundred thousand). The table appears whole or not at all: the
// records go to a temporary file beside the path, which finish() renames
// over it once the record count is in the header; a writer destroyed
// before finish(), or one whose writing failed, removes its temporary file.
//
// A record is built field by field with set() and written by add(); fields
// not set stay blank. Character and date fields are written from the left,
// numeric ("N", "F") fields to the right, as dBase programs write them; a
// text longer than its field is refused rather than cut.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "qzk/xbase.h"

class qzXBaseWriter {
 public:
  qzXBaseWriter() = default;
  ~qzXBaseWriter();
  qzXBaseWriter(const qzXBaseWriter&) = delete;
  qzXBaseWriter& operator=(const qzXBaseWriter&) = delete;

  // Starts a table of these fields at `path` (see qzXBase::create for the
  // fields' limits and the language byte). False with the reason in error().
  bool open(const char* path, const std::vector<qzXBaseNewField>& fields, int language = 0x03);

  // Puts `text` into field f of the record being built. False when f is
  // out of range or the text is longer than the field: the table has then
  // failed as a whole, and add() and finish() refuse it.
  bool set(int f, std::string_view text);

  // Writes the record being built and starts a blank one. False when
  // anything failed before, the table is full (2^32 - 1 records) or
  // writing failed.
  bool add();

  // Writes the record count and the end-of-file mark and renames the
  // temporary file over the path. False when anything failed since open().
  bool finish();

  // The date of last change the header gets (today unless set), for tables
  // that must come out byte for byte the same from the same data.
  void set_date(int year, int month, int day);

  // Records written so far.
  uint32_t count() const { return count_; }
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& why);
  void abandon();

  FILE* file_ = nullptr;
  std::string path_, temporary_;
  std::vector<uint8_t> header_;
  std::vector<qzXBaseNewField> fields_;
  std::vector<int> offsets_;
  std::vector<uint8_t> record_;
  uint32_t count_ = 0;
  bool failed_ = false;
  std::string error_;
};
