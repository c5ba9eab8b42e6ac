#include "data/record_messages.h"

#include <cstdarg>
#include <cstdio>

#include "qzk/log.h"

namespace {

void DefaultSink(const char* message) {
  qzlog("%s\n", message);
  std::fprintf(stderr, "%s\n", message);
}

RecordMessageSink currentSink = DefaultSink;

}  // namespace

void SetRecordMessageSink(RecordMessageSink sink) { currentSink = sink ? sink : DefaultSink; }

void ShowRecordMessage(const char* format, ...) {
  char text[2048];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  currentSink(text);
}
