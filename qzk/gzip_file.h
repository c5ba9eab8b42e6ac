#pragma once
// Whole files packed and unpacked with gzip (zlib), each written through a
// temporary file beside its target and renamed over it, so that the target
// is complete or untouched.
#include <string>

// Unpacks the gzip file `from` into `to`. False with the reason in `error`
// when `from` cannot be read, is no gzip file or is cut short, or `to`
// cannot be written.
bool qzgunzip_file(const std::string& from, const std::string& to, std::string& error);

// Packs `from` into the gzip file `to` at the highest compression, without
// a file name or time in its header, so that the same input gives the same
// bytes.
bool qzgzip_file(const std::string& from, const std::string& to, std::string& error);
