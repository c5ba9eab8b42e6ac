#include "qzk/gzip_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kChunk = 1 << 16;

// A temporary file beside `path`, open for writing.
FILE* temporary_beside(const std::string& path, std::string& temporary) {
  temporary = path + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) return nullptr;
  fchmod(fd, 0644);
  FILE* f = fdopen(fd, "wb");
  if (!f) ::close(fd);
  return f;
}

bool finish(FILE* f, const std::string& temporary, const std::string& to, bool ok,
            std::string& error) {
  ok = std::fclose(f) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), to.c_str()) == 0;
  if (!ok) {
    std::remove(temporary.c_str());
    if (error.empty()) error = "writing " + to + " failed";
  }
  return ok;
}

}  // namespace

bool qzgunzip_file(const std::string& from, const std::string& to, std::string& error) {
  error.clear();
  FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) {
    error = "cannot open " + from + ": " + std::strerror(errno);
    return false;
  }
  std::string temporary;
  FILE* out = temporary_beside(to, temporary);
  if (!out) {
    std::fclose(in);
    error = "cannot write beside " + to;
    return false;
  }
  z_stream z{};
  // 16 + MAX_WBITS: a gzip header and trailer, whose checksum zlib checks.
  bool ok = inflateInit2(&z, 16 + MAX_WBITS) == Z_OK;
  std::vector<unsigned char> packed(kChunk), plain(kChunk);
  int status = Z_OK;
  while (ok && status != Z_STREAM_END) {
    z.avail_in = static_cast<uInt>(std::fread(packed.data(), 1, packed.size(), in));
    if (z.avail_in == 0) {
      error = from + " ends before its packed data does";
      ok = false;
      break;
    }
    z.next_in = packed.data();
    while (ok && z.avail_in > 0 && status != Z_STREAM_END) {
      z.next_out = plain.data();
      z.avail_out = static_cast<uInt>(plain.size());
      status = inflate(&z, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
        error = from + " is no gzip file or is damaged";
        ok = false;
        break;
      }
      const size_t n = plain.size() - z.avail_out;
      if (std::fwrite(plain.data(), 1, n, out) != n) ok = false;
    }
  }
  inflateEnd(&z);
  std::fclose(in);
  return finish(out, temporary, to, ok, error);
}

bool qzgzip_file(const std::string& from, const std::string& to, std::string& error) {
  error.clear();
  FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) {
    error = "cannot open " + from + ": " + std::strerror(errno);
    return false;
  }
  std::string temporary;
  FILE* out = temporary_beside(to, temporary);
  if (!out) {
    std::fclose(in);
    error = "cannot write beside " + to;
    return false;
  }
  z_stream z{};
  // deflateInit2 with 16 + MAX_WBITS writes a gzip header of its own with
  // no name and time 0.
  bool ok = deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY) == Z_OK;
  std::vector<unsigned char> plain(kChunk), packed(kChunk);
  int flush = Z_NO_FLUSH;
  while (ok && flush != Z_FINISH) {
    z.avail_in = static_cast<uInt>(std::fread(plain.data(), 1, plain.size(), in));
    if (std::ferror(in)) {
      error = "reading " + from + " failed";
      ok = false;
      break;
    }
    flush = std::feof(in) ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = plain.data();
    do {
      z.next_out = packed.data();
      z.avail_out = static_cast<uInt>(packed.size());
      deflate(&z, flush);
      const size_t n = packed.size() - z.avail_out;
      if (std::fwrite(packed.data(), 1, n, out) != n) ok = false;
    } while (ok && z.avail_out == 0);
  }
  deflateEnd(&z);
  std::fclose(in);
  return finish(out, temporary, to, ok, error);
}
