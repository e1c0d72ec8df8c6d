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
// The elevated copy opens what a user named, so the log must be a plain file
// reached by its own name: a device path, a path through a link (junction,
// symbolic link, mount point) at any step, a link in the file's place and a
// file with more than one name (hard links) are refused, and refusal, when
// given, tells why (empty when the file was merely not there to open). A
// file made here and then refused is deleted again.
bool OpenRunLog(const std::wstring& path, std::wstring* refusal = nullptr);

// Closes the log; later events are not written. For tests and hand-overs.
void CloseRunLog();

// Whether a log is open.
bool RunLogOpen();

// Appends one line: timestamp, "[<process id>]", then text. Line breaks
// inside text become blanks, so every event stays one line.
void LogEvent(const std::wstring& text);

// Text from outside (the download server) as a log line may hold it: control
// characters (line breaks, escape sequences, text direction marks) written as
// \xHH or \uHHHH, a backslash doubled, and cut after maxLength characters,
// "..." marking the cut.
std::wstring LoggedText(const std::wstring& text, std::size_t maxLength = 64);

// "2026-03-01T14:05:09.042+01:00": local time with its offset from UTC in
// minutes east (biasMinutes as Windows gives it: UTC = local + bias).
std::wstring IsoLocalTimestamp(int year, int month, int day, int hour, int minute, int second,
                               int milliseconds, long biasMinutes);
