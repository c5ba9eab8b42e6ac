// Writing a new, empty table.
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "qzk/log.h"
#include "qzk/xbase.h"
#include "qzk/xbase_header.h"

namespace {

bool fit(const qzXBaseNewField& field, std::string& why) {
  if (field.name.empty() || field.name.size() > 10 ||
      field.name.find('\0') != std::string::npos) {
    why = "field name \"" + field.name + "\" is not 1 to 10 bytes";
    return false;
  }
  const int longest = field.type == 'C' ? 65535 : 255;
  if (field.length < 1 || field.length > longest) {
    why = "field " + field.name + " has an unfit length";
    return false;
  }
  if (field.type != 'C' && (field.decimals < 0 || field.decimals > 255 ||
                            (field.decimals > 0 && field.decimals >= field.length))) {
    why = "field " + field.name + " has unfit decimals";
    return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> qzxbase_new_header(const std::vector<qzXBaseNewField>& fields, int language,
                                        std::string& why) {
  if (fields.empty() || fields.size() > 2046) {
    why = "a table needs 1 to 2046 fields";
    return {};
  }
  size_t record_length = 1;
  for (const qzXBaseNewField& field : fields) {
    if (!fit(field, why)) return {};
    record_length += static_cast<size_t>(field.length);
  }
  if (record_length > 65535) {
    why = "the record would be longer than 65535 bytes";
    return {};
  }
  const size_t header_length = 32 + 32 * fields.size() + 1;
  std::vector<uint8_t> header(header_length, 0);
  header[0] = 0x03;  // dBase III without memo file
  qzxbase_stamp_date(header);
  header[8] = static_cast<uint8_t>(header_length);
  header[9] = static_cast<uint8_t>(header_length >> 8);
  header[10] = static_cast<uint8_t>(record_length);
  header[11] = static_cast<uint8_t>(record_length >> 8);
  header[29] = static_cast<uint8_t>(language);
  for (size_t f = 0; f < fields.size(); ++f) {
    uint8_t* d = &header[32 + 32 * f];
    std::memcpy(d, fields[f].name.data(), fields[f].name.size());
    d[11] = static_cast<uint8_t>(fields[f].type);
    d[16] = static_cast<uint8_t>(fields[f].length);
    d[17] = static_cast<uint8_t>(fields[f].type == 'C' ? fields[f].length >> 8
                                                       : fields[f].decimals);
  }
  header[header_length - 1] = qzXBaseTerminator;
  return header;
}

bool qzXBase::create(const char* path, const std::vector<qzXBaseNewField>& fields,
                     int language) {
  std::string why;
  std::vector<uint8_t> bytes = qzxbase_new_header(fields, language, why);
  if (bytes.empty()) {
    qzlog("qzXBase: cannot create %s: %s\n", path, why.c_str());
    return false;
  }
  bytes.push_back(0x1A);  // end of file

  std::string temporary = std::string(path) + ".XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd >= 0) fchmod(fd, 0644);
  FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!file) {
    if (fd >= 0) ::close(fd);
    qzlog("qzXBase: cannot create %s: no temporary file beside it\n", path);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  ok = ok && std::rename(temporary.c_str(), path) == 0;
  if (!ok) {
    std::remove(temporary.c_str());
    qzlog("qzXBase: cannot create %s: writing failed\n", path);
  }
  return ok;
}
