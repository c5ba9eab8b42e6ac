// SHA-256 against the test vectors of FIPS 180-4 (NIST's examples) and
// the hashes of files read in chunks.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "qzk/sha256.h"
#include "temp_folder.h"

TEST(Sha256, NistVectors) {
  EXPECT_EQ(qzsha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(qzsha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the length no longer fits the first block.
  EXPECT_EQ(qzsha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(qzsha256_hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesAndFilesGiveTheWholeDigest) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>(i * 7 + 3);
  const std::string whole = qzsha256_hex(text);
  // Pieces that straddle the 64-byte blocks in every way.
  for (size_t piece : {1u, 55u, 63u, 64u, 65u, 1000u}) {
    qzSha256 s;
    for (size_t at = 0; at < text.size(); at += piece) s.add(text.data() + at, std::min(piece, text.size() - at));
    EXPECT_EQ(s.hex(), whole) << piece;
  }
  InTempFolder here("sha256_");
  std::string big(200000, 'x');  // more than one read chunk
  big += text;
  std::ofstream("big.bin", std::ios::binary) << big;
  std::string hex;
  uint64_t bytes = 0;
  ASSERT_TRUE(qzsha256_file("big.bin", hex, bytes));
  EXPECT_EQ(bytes, big.size());
  EXPECT_EQ(hex, qzsha256_hex(big));
  EXPECT_FALSE(qzsha256_file("missing.bin", hex, bytes));
  // No file: a folder, and a FIFO, which is refused at once instead of
  // waiting for a writer.
  EXPECT_FALSE(qzsha256_file(".", hex, bytes));
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  EXPECT_FALSE(qzsha256_file("pipe", hex, bytes));
}
