#pragma once
// SHA-256 (FIPS 180-4) of bytes and of files, as lowercase hexadecimal:
// the checksums a run's record gives for every file it read or wrote.
#include <cstddef>
#include <cstdint>
#include <string>

class qzSha256 {
 public:
  qzSha256();
  void add(const void* data, std::size_t size);
  // The digest of everything added, as 64 hex digits; ends the hash.
  std::string hex();

 private:
  void block(const unsigned char* p);
  uint32_t h_[8];
  unsigned char buffer_[64];
  std::size_t filled_ = 0;
  uint64_t length_ = 0;
};

std::string qzsha256_hex(const std::string& bytes);
// False when the file cannot be read; `bytes` gets its size.
bool qzsha256_file(const std::string& path, std::string& hex, uint64_t& bytes);
