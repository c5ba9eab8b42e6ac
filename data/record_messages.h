#pragma once
// Where the person and event code shows its messages ("error opening ...").
// The shell points this at its own message display; until it does, the
// messages go to the toolkit log and to standard error.
using RecordMessageSink = void (*)(const char* message);

void SetRecordMessageSink(RecordMessageSink sink);
void ShowRecordMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
