#include "qzk/xbase_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "qzk/log.h"
#include "qzk/xbase_header.h"

qzXBaseWriter::~qzXBaseWriter() { abandon(); }

bool qzXBaseWriter::fail(const std::string& why) {
  if (!failed_) {
    error_ = why;
    qzlog("qzXBaseWriter: %s\n", why.c_str());
  }
  failed_ = true;
  return false;
}

void qzXBaseWriter::abandon() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
}

bool qzXBaseWriter::open(const char* path, const std::vector<qzXBaseNewField>& fields, int language) {
  abandon();
  failed_ = false;
  error_.clear();
  count_ = 0;
  if (!path) return fail("open: no file name");
  path_ = path;
  std::string why;
  header_ = qzxbase_new_header(fields, language, why);
  if (header_.empty()) return fail("cannot create " + path_ + ": " + why);
  fields_ = fields;
  offsets_.clear();
  int offset = 1;
  for (const qzXBaseNewField& f : fields_) {
    offsets_.push_back(offset);
    offset += f.length;
  }
  record_.assign(static_cast<size_t>(offset), ' ');

  temporary_ = path_ + ".XXXXXX";
  int fd = mkstemp(temporary_.data());
  if (fd < 0) {
    temporary_.clear();
    return fail("cannot create " + path_ + ": no temporary file beside it");
  }
  fchmod(fd, 0644);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    return fail("cannot create " + path_ + ": no temporary file beside it");
  }
  if (std::fwrite(header_.data(), 1, header_.size(), file_) != header_.size())
    return fail("writing " + temporary_ + " failed");
  return true;
}

void qzXBaseWriter::set_date(int year, int month, int day) {
  if (!header_.empty()) qzxbase_stamp_date(header_, year, month, day);
}

bool qzXBaseWriter::set(int f, std::string_view text) {
  if (!file_ || failed_) return false;
  if (f < 0 || f >= static_cast<int>(fields_.size())) {
    return fail("set: no field " + std::to_string(f));
  }
  const qzXBaseNewField& field = fields_[f];
  if (text.size() > static_cast<size_t>(field.length)) {
    return fail("set: \"" + std::string(text) + "\" is longer than field " + field.name + " (" +
                std::to_string(field.length) + " bytes)");
  }
  uint8_t* at = &record_[offsets_[f]];
  std::memset(at, ' ', field.length);
  const bool right = field.type == 'N' || field.type == 'F';
  std::memcpy(at + (right ? field.length - text.size() : 0), text.data(), text.size());
  return true;
}

bool qzXBaseWriter::add() {
  if (!file_ || failed_) return false;
  if (count_ == UINT32_MAX) return fail("add: the table is full");
  record_[0] = ' ';
  if (std::fwrite(record_.data(), 1, record_.size(), file_) != record_.size())
    return fail("writing " + temporary_ + " failed");
  ++count_;
  std::memset(record_.data(), ' ', record_.size());
  return true;
}

bool qzXBaseWriter::finish() {
  if (!file_ || failed_) {
    abandon();
    return false;
  }
  for (int k = 0; k < 4; ++k) header_[4 + k] = static_cast<uint8_t>(count_ >> (8 * k));
  bool ok = std::fputc(0x1A, file_) != EOF;
  ok = ok && std::fseek(file_, 0, SEEK_SET) == 0;
  ok = ok && std::fwrite(header_.data(), 1, 8, file_) == 8;
  ok = std::fflush(file_) == 0 && ok;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  ok = ok && std::rename(temporary_.c_str(), path_.c_str()) == 0;
  if (!ok) {
    fail("writing " + path_ + " failed");
    abandon();
    return false;
  }
  temporary_.clear();
  return true;
}
