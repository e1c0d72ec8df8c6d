#pragma once
// The log an administrator asks for with "-log <file>": plain UTF-8 text, one
// line per event, each led by the local time in ISO 8601 and the process id.
// Both processes of a relaunched start append to the same file. Nothing is
// written unless OpenRunLog succeeded, and a log that cannot be opened or
// written is never a failure of the run: every call here is then a no-op.
// Any thread may log.
#include <string>

// Opens (creating it if need be) the file at path for appending. path must be
// absolute: the relaunched copy runs in another current folder. False when
// the file cannot be opened; the run goes on without a log.
bool OpenRunLog(const std::wstring& path);

// Whether a log is open.
bool RunLogOpen();

// Appends one line: timestamp, "[<process id>]", then text. Line breaks
// inside text become blanks, so every event stays one line.
void LogEvent(const std::wstring& text);

// "2026-03-01T14:05:09.042+01:00": local time with its offset from UTC in
// minutes east (biasMinutes as Windows gives it: UTC = local + bias).
std::wstring IsoLocalTimestamp(int year, int month, int day, int hour, int minute, int second,
                               int milliseconds, long biasMinutes);
