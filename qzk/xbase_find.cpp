// Searching, sorting and scanning a table: all read the records in large
// blocks rather than one field at a time, search and sort with the same
// results as field by field.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "qzk/xbase.h"

namespace {

constexpr size_t kBlockBytes = 1 << 18;

unsigned char to_upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
unsigned char to_lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// A field's text as read field gives it: up to the first NUL, trailing
// blanks stripped.
std::string_view bytes_text(const uint8_t* bytes, int length) {
  const char* begin = reinterpret_cast<const char*>(bytes);
  const void* nul = std::memchr(begin, 0, static_cast<size_t>(length));
  size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - begin)
                 : static_cast<size_t>(length);
  while (n > 0 && begin[n - 1] == ' ') --n;
  return {begin, n};
}

unsigned char first_of(std::string_view s) {
  return s.empty() ? 0 : static_cast<unsigned char>(s[0]);
}

// The find normalisation: first characters folded to upper case, then the
// texts folded to lower case and compared whole or over the search text.
bool matches(std::string_view field, std::string_view text, bool prefix) {
  if (to_upper(first_of(field)) != to_upper(first_of(text))) return false;
  if (prefix ? field.size() < text.size() : field.size() != text.size()) return false;
  for (size_t k = 0; k < text.size(); ++k)
    if (to_lower(static_cast<unsigned char>(field[k])) !=
        to_lower(static_cast<unsigned char>(text[k])))
      return false;
  return true;
}

// Case-insensitive order: A to Z folded to lower case, bytes unsigned, a
// text before every longer text it begins.
bool less_folded(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t k = 0; k < n; ++k) {
    unsigned char x = to_lower(static_cast<unsigned char>(a[k]));
    unsigned char y = to_lower(static_cast<unsigned char>(b[k]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

int qzXBase::field_offset(int f) const {
  return f >= 0 && f < field_count() ? fields_[f].offset : 0;
}

std::string_view qzXBase::field_text(const uint8_t* record, int f) const {
  if (!record || f < 0 || f >= field_count()) return {};
  return bytes_text(record + fields_[f].offset, fields_[f].length);
}

bool qzXBase::scan(const std::function<bool(int i, const uint8_t* record)>& visit) {
  if (!file_) return false;
  const size_t per_block = std::max<size_t>(1, kBlockBytes / record_length_);
  std::vector<uint8_t> block;
  for (size_t i = 0; i < live_.size();) {
    const uint32_t first = live_[i];
    const size_t n = std::min<size_t>(per_block, record_count_ - first);
    block.resize(n * record_length_);
    if (!read_at(record_offset(first), block.data(), block.size())) {
      fail("scan: reading %s failed\n", path_.c_str());
      return false;
    }
    for (; i < live_.size() && live_[i] < first + n; ++i)
      if (!visit(static_cast<int>(i), &block[static_cast<size_t>(live_[i] - first) * record_length_]))
        return true;
  }
  return true;
}

int qzXBase::find_exact(int f, const char* text, int* result, int capacity) {
  return find(f, text, false, result, capacity);
}

int qzXBase::find_prefix(int f, const char* text, int* result, int capacity) {
  return find(f, text, true, result, capacity);
}

int qzXBase::find(int f, const char* text, bool prefix, int* result, int capacity) {
  if (!file_ || f < 0 || f >= field_count()) return -1;
  const std::string_view wanted = text ? text : "";
  const qzXBaseField& field = fields_[f];
  const size_t per_block = std::max<size_t>(1, kBlockBytes / record_length_);
  std::vector<uint8_t> block;
  int count = 0;
  for (size_t i = 0; i < live_.size();) {
    // One read from the next live record over a block of physical records.
    const uint32_t first = live_[i];
    const size_t n = std::min<size_t>(per_block, record_count_ - first);
    block.resize(n * record_length_);
    if (!read_at(record_offset(first), block.data(), block.size())) {
      fail("find: reading %s failed\n", path_.c_str());
      return -1;
    }
    for (; i < live_.size() && live_[i] < first + n; ++i) {
      const uint8_t* record = &block[static_cast<size_t>(live_[i] - first) * record_length_];
      if (!matches(bytes_text(record + field.offset, field.length), wanted, prefix)) continue;
      if (result && count < capacity - 1) result[count] = static_cast<int>(i);
      ++count;
    }
  }
  return count;
}

// Equal to the bubble sort over neighbouring live records that swaps when
// the first is greater: that sort is stable, so a stable sort by the same
// order gives the same records in the same places. All records are read at
// once, put in order in memory and the changed stretch written back once.
bool qzXBase::sort(int f) {
  if (!writable("sort")) return false;
  if (f < 0 || f >= field_count()) {
    fail("sort: %s has no field %d\n", path_.c_str(), f);
    return false;
  }
  const size_t length = static_cast<size_t>(record_length_);
  std::vector<uint8_t> data(static_cast<size_t>(record_count_) * length);
  if (!data.empty() && !read_at(record_offset(0), data.data(), data.size())) {
    fail("sort: reading %s failed\n", path_.c_str());
    return false;
  }
  const qzXBaseField& field = fields_[f];
  auto key = [&](uint32_t physical) {
    return bytes_text(&data[physical * length + field.offset], field.length);
  };
  std::vector<uint32_t> order(live_);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return less_folded(key(a), key(b)); });

  std::vector<uint8_t> sorted(data);
  bool moved = false;
  size_t first_moved = 0, last_moved = 0;
  for (size_t k = 0; k < live_.size(); ++k) {
    if (order[k] == live_[k]) continue;
    std::memcpy(&sorted[live_[k] * length], &data[order[k] * length], length);
    if (!moved) first_moved = k;
    moved = true;
    last_moved = k;
  }
  modified_ = true;
  appended_ = -1;  // the record appended last may have moved
  if (!moved) return true;
  const size_t from = live_[first_moved] * length;
  const size_t to = (live_[last_moved] + 1) * length;
  if (!write_at(record_offset(0) + from, &sorted[from], to - from) || std::fflush(file_) != 0) {
    fail("sort: writing %s failed\n", path_.c_str());
    return false;
  }
  return true;
}
