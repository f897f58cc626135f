#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

class QIODevice;

// The saved-reading file: a single-byte text file of which only the first six lines count.
namespace SavedReading {

constexpr int kLinesRead = 6;
constexpr qint64 kMaxLineBytes = 64 * 1024;
// Reading stops after this many bytes, as if the file ended there, so that skipping a huge
// line end-less file stays fast; a real saved reading is a few dozen bytes.
constexpr qint64 kMaxBytesScanned = 16 * 1024 * 1024;
using Lines = std::array<QString, kLinesRead>; // slots 1..6 -> [0..5]

// The case-sensitive test on the last three characters ("num"); names shorter than three pass.
bool passesExtensionTest(const QString &fileName);

// First six lines: CR LF or a lone CR ends a line (a lone LF does not), bytes decoded as Latin-1
// (byte value = character code); missing lines and an unreadable file give empty slots;
// each line capped at kMaxLineBytes (the rest of that line skipped, never held in memory);
// nothing after line 6 is read.
// A device that is not open is opened read-only (binary) and closed again.
Lines readFirstLines(QIODevice &device);
// Only regular files are read, so a fifo or a device file cannot block or stream forever.
Lines readFirstLines(const QString &path);

} // namespace SavedReading
