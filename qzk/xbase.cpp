#include "qzk/xbase.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "qzk/log.h"
#include "qzk/regular_file.h"
#include "qzk/xbase_header.h"

namespace {

constexpr uint8_t kDeleted = '*';
constexpr uint8_t kEndOfFile = 0x1A;

// Bytes read at once when the live-record index is built.
constexpr size_t kIndexChunk = 1 << 16;

bool same_name(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t k = 0; k < n; ++k) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(static_cast<unsigned char>(a[k])) != lower(static_cast<unsigned char>(b[k])))
      return false;
  }
  return true;
}

void put_u32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace

qzXBase::~qzXBase() { close(); }

void qzXBase::fail(const char* format, ...) const {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  error_ = text;
  while (!error_.empty() && error_.back() == '\n') error_.pop_back();
  qzlog("qzXBase: %s\n", error_.c_str());
}

bool qzXBase::open(const char* path, bool for_reading_only) {
  close();
  error_.clear();
  if (!path) {
    fail("open: no file name\n");
    return false;
  }
  // A FIFO would make the opening wait; a folder is no table.
  errno = 0;
  if (!qzis_regular_file(path)) {
    fail("cannot open %s: %s\n", path, errno != 0 ? std::strerror(errno) : "not a regular file");
    return false;
  }
  FILE* file = for_reading_only ? nullptr : std::fopen(path, "r+b");
  bool read_only = false;
  if (for_reading_only || (!file && (errno == EACCES || errno == EROFS || errno == EPERM))) {
    file = std::fopen(path, "rb");
    read_only = file != nullptr;
  }
  if (!file) {
    fail("cannot open %s: %s\n", path, std::strerror(errno));
    return false;
  }

  std::vector<uint8_t> block(32);
  uint64_t file_size = 0;
  bool sized = fseeko(file, 0, SEEK_END) == 0;
  if (sized) {
    off_t end = ftello(file);
    sized = end >= 0;
    file_size = sized ? static_cast<uint64_t>(end) : 0;
  }
  if (!sized) {
    fail("cannot find the size of %s: %s\n", path, std::strerror(errno));
    std::fclose(file);
    return false;
  }
  std::rewind(file);
  size_t got = std::fread(block.data(), 1, block.size(), file);
  block.resize(got);
  if (got == 32) {
    size_t wanted = static_cast<size_t>(qzxbase_header_length(block.data()));
    if (wanted > 32 && wanted <= file_size) {
      block.resize(wanted);
      block.resize(32 + std::fread(&block[32], 1, wanted - 32, file));
    }
  }

  qzXBaseLayout layout;
  std::string why;
  if (!qzxbase_parse_header(block, file_size, layout, why)) {
    fail("%s is not a dBase table we can read: %s\n", path, why.c_str());
    std::fclose(file);
    return false;
  }
  if (layout.whole_count < layout.stored_count)
    qzlog("qzXBase: %s ends inside its records; %u of the %u records are read\n", path,
          layout.whole_count, layout.stored_count);

  file_ = file;
  path_ = path;
  header_ = std::move(block);
  fields_ = std::move(layout.fields);
  header_length_ = layout.header_length;
  record_length_ = layout.record_length;
  record_count_ = layout.whole_count;
  read_only_ = read_only;
  modified_ = false;
  appended_ = -1;
  if (!build_index()) {
    fail("cannot read the records of %s\n", path);
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  return true;
}

bool qzXBase::close() {
  if (!file_) return true;
  bool ok = true;
  if (!read_only_) {
    // A table that was only read gets its header block back unchanged.
    if (modified_) {
      put_u32(header_, 4, record_count_);
      qzxbase_stamp_date(header_);
    }
    ok = write_at(0, header_.data(), header_.size()) && std::fflush(file_) == 0;
  }
  if (std::fclose(file_) != 0) ok = false;
  if (!ok) fail("writing the header of %s failed\n", path_.c_str());
  file_ = nullptr;
  header_.clear();
  fields_.clear();
  live_.clear();
  live_.shrink_to_fit();
  record_count_ = 0;
  modified_ = false;
  appended_ = -1;
  return ok;
}

int qzXBase::language_byte() const { return header_.size() > 29 ? header_[29] : 0; }

int qzXBase::physical_record(int i) const {
  return i >= 0 && i < live_count() ? static_cast<int>(live_[i]) : -1;
}

int qzXBase::field_index(const char* name) const {
  if (!name) return -1;
  for (size_t f = 0; f < fields_.size(); ++f)
    if (same_name(fields_[f].name, name)) return static_cast<int>(f);
  return -1;
}

const char* qzXBase::field_name(int f) const {
  return f >= 0 && f < field_count() ? fields_[f].name.c_str() : "";
}
char qzXBase::field_type(int f) const {
  return f >= 0 && f < field_count() ? fields_[f].type : '\0';
}
int qzXBase::field_length(int f) const {
  return f >= 0 && f < field_count() ? fields_[f].length : 0;
}
int qzXBase::field_decimals(int f) const {
  return f >= 0 && f < field_count() ? fields_[f].decimals : 0;
}

uint64_t qzXBase::record_offset(uint32_t physical) const {
  return static_cast<uint64_t>(header_length_) +
         static_cast<uint64_t>(physical) * static_cast<uint64_t>(record_length_);
}

bool qzXBase::read_at(uint64_t offset, void* data, size_t size) {
  if (!file_) return false;
  if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fread(data, 1, size, file_) == size;
}

bool qzXBase::write_at(uint64_t offset, const void* data, size_t size) {
  if (!file_ || read_only_) return false;
  if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fwrite(data, 1, size, file_) == size;
}

bool qzXBase::writable(const char* what) const {
  if (!file_) {
    fail("%s: no table is open\n", what);
    return false;
  }
  if (read_only_) {
    fail("%s: %s is open for reading only\n", what, path_.c_str());
    return false;
  }
  return true;
}

bool qzXBase::build_index() {
  live_.clear();
  const size_t per_chunk = std::max<size_t>(1, kIndexChunk / record_length_);
  std::vector<uint8_t> chunk(per_chunk * record_length_);
  for (uint32_t first = 0; first < record_count_;) {
    size_t n = std::min<size_t>(per_chunk, record_count_ - first);
    // The last record may end at the last byte; read only up to its flag.
    size_t bytes = (n - 1) * record_length_ + 1;
    if (!read_at(record_offset(first), chunk.data(), bytes)) return false;
    for (size_t k = 0; k < n; ++k)
      if (chunk[k * record_length_] != kDeleted) live_.push_back(first + static_cast<uint32_t>(k));
    first += static_cast<uint32_t>(n);
  }
  return true;
}

bool qzXBase::read_field(char* buffer, int buffer_size, int i, int f) {
  if (!buffer || buffer_size < 1) return false;
  buffer[0] = '\0';
  if (!file_ || i < 0 || i >= live_count() || f < 0 || f >= field_count()) return false;
  const qzXBaseField& field = fields_[f];
  size_t n = std::min<size_t>(field.length, static_cast<size_t>(buffer_size - 1));
  if (n > 0 && !read_at(record_offset(live_[i]) + field.offset, buffer, n)) {
    buffer[0] = '\0';
    return false;
  }
  buffer[n] = '\0';
  size_t len = std::strlen(buffer);
  while (len > 0 && buffer[len - 1] == ' ') buffer[--len] = '\0';
  return true;
}

std::string qzXBase::read_field(int i, int f) {
  std::vector<char> buffer(static_cast<size_t>(field_length(f)) + 1);
  if (!read_field(buffer.data(), static_cast<int>(buffer.size()), i, f)) return "";
  return buffer.data();
}

bool qzXBase::write_field(int f, const char* format, ...) {
  if (!writable("write field")) return false;
  if (f < 0 || f >= field_count()) {
    fail("write field: %s has no field %d\n", path_.c_str(), f);
    return false;
  }
  if (appended_ < 0) {
    fail("write field: no record of %s was appended\n", path_.c_str());
    return false;
  }
  // The text fills at most the whole field: cutting one more character, as
  // a terminator would, stores a year 1990 into N(4) as 199.
  const qzXBaseField& field = fields_[f];
  if (field.length < 1) return true;
  std::vector<char> text(static_cast<size_t>(field.length) + 1);
  va_list args;
  va_start(args, format);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  size_t n = std::strlen(text.data());
  if (n > 0 && !write_at(record_offset(static_cast<uint32_t>(appended_)) + field.offset,
                         text.data(), n)) {
    fail("write field: writing %s failed\n", path_.c_str());
    return false;
  }
  modified_ = true;
  return true;
}

int qzXBase::append_record() {
  if (!writable("append record")) return -1;
  // The live index is in file order, so the first deleted record is the
  // first physical number missing from it.
  uint32_t physical = record_count_;
  size_t position = live_.size();
  if (live_.size() < record_count_) {
    position = 0;
    while (position < live_.size() && live_[position] == position) ++position;
    physical = static_cast<uint32_t>(position);
  } else if (record_count_ == UINT32_MAX ||
             record_offset(record_count_ + 1) > static_cast<uint64_t>(INT64_MAX)) {
    fail("append record: %s is full\n", path_.c_str());
    return -1;
  }

  std::vector<uint8_t> blanks(record_length_, ' ');
  if (physical == record_count_) blanks.push_back(kEndOfFile);
  if (!write_at(record_offset(physical), blanks.data(), blanks.size()) ||
      std::fflush(file_) != 0) {
    fail("append record: writing %s failed\n", path_.c_str());
    return -1;
  }
  if (physical == record_count_) ++record_count_;
  live_.insert(live_.begin() + static_cast<std::ptrdiff_t>(position), physical);
  appended_ = physical;
  modified_ = true;
  return static_cast<int>(position);
}

bool qzXBase::delete_record(int i) {
  if (!writable("delete record")) return false;
  if (i < 0 || i >= live_count()) {
    fail("delete record: %s has no live record %d\n", path_.c_str(), i);
    return false;
  }
  const uint8_t flag = kDeleted;
  if (!write_at(record_offset(live_[i]), &flag, 1)) {
    fail("delete record: writing %s failed\n", path_.c_str());
    return false;
  }
  if (appended_ == static_cast<int64_t>(live_[i])) appended_ = -1;
  live_.erase(live_.begin() + i);
  modified_ = true;
  return true;
}
