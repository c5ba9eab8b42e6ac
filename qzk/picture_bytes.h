#pragma once
// Bounded reading and plain writing of the bytes of picture files. A
// reader never runs past its end: a read beyond it gives 0 and marks the
// reader failed, so a decoder checks ok() once after a group of reads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class qzByteReader {
 public:
  qzByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit qzByteReader(const std::vector<uint8_t>& bytes) : qzByteReader(bytes.data(), bytes.size()) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t left() const { return size_ - pos_; }
  bool atEnd() const { return pos_ >= size_; }

  bool seek(size_t pos) {
    if (pos > size_) return fail();
    pos_ = pos;
    return true;
  }
  bool skip(size_t n) { return n <= left() ? (pos_ += n, true) : fail(); }
  uint8_t u8() { return pos_ < size_ ? data_[pos_++] : (fail(), 0); }
  int peek() const { return pos_ < size_ ? data_[pos_] : -1; }
  uint16_t le16() {
    const uint16_t a = u8();
    return static_cast<uint16_t>(a | (u8() << 8));
  }
  uint32_t le32() {
    const uint32_t a = le16();
    return a | (static_cast<uint32_t>(le16()) << 16);
  }
  // A pointer to the next n bytes, or null (failed) when fewer are left.
  const uint8_t* take(size_t n) {
    if (n > left()) return fail(), nullptr;
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }

 private:
  bool fail() {
    ok_ = false;
    pos_ = size_;
    return false;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Appending little- and big-endian values to a byte vector.
inline void qzput8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }
inline void qzputle16(std::vector<uint8_t>& out, uint32_t v) {
  qzput8(out, v);
  qzput8(out, v >> 8);
}
inline void qzputle32(std::vector<uint8_t>& out, uint32_t v) {
  qzputle16(out, v);
  qzputle16(out, v >> 16);
}
inline void qzputbe32(std::vector<uint8_t>& out, uint32_t v) {
  qzput8(out, v >> 24);
  qzput8(out, v >> 16);
  qzput8(out, v >> 8);
  qzput8(out, v);
}
inline void qzputtext(std::vector<uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

// The most pixels a decoder accepts (as many as a pixmap may hold).
constexpr uint64_t kQzMaxPicturePixels = uint64_t{1} << 28;
