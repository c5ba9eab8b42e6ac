#pragma once
// qzXBase: record access to a dBase table file (.dbf), read and written in
// place, record by record. Only the header block and the index of the live
// records (those whose deletion flag is not "*") are held in memory.
//
// Layout used: the header length is the u16 at offset 8, the record length
// the u16 at offset 10, the record count the u32 at offset 4 (deleted
// records included). Field descriptors are 32 bytes each from offset 32 and
// end at the terminator byte 0x0D. Record r starts at header length +
// r * record length; its first byte is the deletion flag, the fields follow
// in descriptor order.
//
// open() checks the header against itself and against the file's size and
// refuses a table that does not add up (a clear line in the log, false from
// open, and nothing is ever written to it). A table whose last record is
// cut short opens with its complete records only.
//
// Every field is handled as text; number conversion is the caller's. The
// type, length and decimals of each field are available for that.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct qzXBaseField {
  std::string name;  // as stored, up to the first NUL (at most 11 bytes)
  char type = 'C';   // "C", "N", "D", "L", "F", "M" ...
  int length = 0;    // bytes in the record
  int decimals = 0;  // numeric fields only; 0 for "C"
  int offset = 0;    // from the record start (the deletion flag is byte 0)
};

// The description of one field for qzXBase::create.
struct qzXBaseNewField {
  std::string name;  // at most 10 bytes
  char type = 'C';
  int length = 1;    // 1..255, "C" up to 65535
  int decimals = 0;
};

class qzXBase {
 public:
  qzXBase() = default;
  ~qzXBase();
  qzXBase(const qzXBase&) = delete;
  qzXBase& operator=(const qzXBase&) = delete;

  // Closes a table that is open, opens the file (for reading and writing,
  // or for reading only when the file cannot be written), checks and reads
  // the header and builds the live-record index. False when the file cannot
  // be opened or is refused. With for_reading_only the file is opened for
  // reading alone and never written, not even its header at close.
  bool open(const char* path, bool for_reading_only = false);

  // Writes the header block back at offset 0 (with the record count and,
  // if the table was modified, the date of last change), closes the file
  // and frees the index. Does nothing when no table is open. False when
  // writing the header failed.
  bool close();

  bool is_open() const { return file_ != nullptr; }
  bool is_read_only() const { return read_only_; }
  bool is_modified() const { return modified_; }
  // Why the last operation that failed did so (also written to the log).
  const std::string& error() const { return error_; }

  // Live records, and all records (deleted ones included).
  int live_count() const { return static_cast<int>(live_.size()); }
  int record_count() const { return static_cast<int>(record_count_); }
  // The physical record number of the i-th live record, -1 when out of range.
  int physical_record(int i) const;

  int header_length() const { return header_length_; }
  int record_length() const { return record_length_; }
  // The language (code page) byte at header offset 29.
  int language_byte() const;

  int field_count() const { return static_cast<int>(fields_.size()); }
  // Index of the field named `name` (case-insensitive, A to Z), -1 if none.
  int field_index(const char* name) const;
  // Accessors; an out-of-range field gives "", '\0' and 0.
  const char* field_name(int f) const;
  char field_type(int f) const;
  int field_length(int f) const;
  int field_decimals(int f) const;
  // Where field f starts in a record's bytes (0 for an out-of-range field).
  int field_offset(int f) const;

  // Calls visit(i, record) for every live record in order, i being its
  // live index and record its record_length() bytes (the deletion flag
  // first), reading the file in large blocks: the way to go through a
  // whole table. Stops early when visit returns false. False when no table
  // is open or the file cannot be read.
  bool scan(const std::function<bool(int i, const uint8_t* record)>& visit);
  // Field f's text in a record's bytes as scan gives them, as read_field
  // gives it: up to the first NUL, trailing blanks stripped ("" for an
  // out-of-range field).
  std::string_view field_text(const uint8_t* record, int f) const;

  // Reads field f of the i-th live record into buffer (of buffer_size
  // bytes, at least field length + 1 for the whole field), terminates it
  // and strips trailing blanks. False (and an empty buffer) when i or f is
  // out of range or the file cannot be read.
  bool read_field(char* buffer, int buffer_size, int i, int f);
  // The same as a string ("" on failure).
  std::string read_field(int i, int f);

  // Formats a printf-style text and writes it into field f of the record
  // appended last, cut to the field length; the bytes after the text keep
  // the blanks of the new record. False when no record
  // was appended since open (or it was moved by sort or deleted since), f
  // is out of range, or the table cannot be written.
  bool write_field(int f, const char* format, ...) __attribute__((format(printf, 3, 4)));

  // Reuses the first deleted record if there is one, else adds a record at
  // the end; fills it with blanks, marks the table modified and returns the
  // live index of the new record, or -1 on failure.
  int append_record();

  // Writes "*" into the i-th live record's deletion flag. False when i is
  // out of range or the table cannot be written.
  bool delete_record(int i);

  // The count of live records whose field f equals `text` (find_exact) or
  // begins with it (find_prefix) after both are normalised: the first
  // characters are compared folded to upper case, then the whole texts
  // folded to lower case (A to Z only; other bytes, umlauts included, stay
  // as they are). At most capacity - 1 live indexes are stored in result.
  // An empty text matches only empty fields, in both forms. -1 when f is
  // out of range or the file cannot be read.
  int find_exact(int f, const char* text, int* result, int capacity);
  int find_prefix(int f, const char* text, int* result, int capacity);

  // Orders the live records by field f, ascending, case-insensitive (A to Z
  // folded to lower case), equal texts keeping their order; deleted records
  // stay where they are. Marks the table modified. False when f is out of
  // range or the table cannot be read or written.
  bool sort(int f);

  // Writes a new empty table (header, descriptors, terminator, end-of-file
  // mark) at path, through a temporary file renamed over it. `language` is
  // the code page byte (0x03 for Windows ANSI). False with a log line when
  // the fields are unfit or the file cannot be written.
  static bool create(const char* path, const std::vector<qzXBaseNewField>& fields,
                     int language = 0x03);

 private:
  bool read_at(uint64_t offset, void* data, size_t size);
  bool write_at(uint64_t offset, const void* data, size_t size);
  bool writable(const char* what) const;
  uint64_t record_offset(uint32_t physical) const;
  bool build_index();
  int find(int f, const char* text, bool prefix, int* result, int capacity);
  void fail(const char* format, ...) const __attribute__((format(printf, 2, 3)));

  FILE* file_ = nullptr;
  std::string path_;
  std::vector<uint8_t> header_;
  std::vector<qzXBaseField> fields_;
  std::vector<uint32_t> live_;
  uint32_t record_count_ = 0;
  int header_length_ = 0;
  int record_length_ = 0;
  int64_t appended_ = -1;  // physical number of the record appended last
  bool modified_ = false;
  bool read_only_ = false;
  mutable std::string error_;
};
