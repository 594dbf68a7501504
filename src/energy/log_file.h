#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// File operations of the drain log. All are blocking; the log runs them on its
// own queue.
namespace LogFile {

// Appends `line` (which ends in a line feed) with one write. When the file's
// last byte is not a line feed (a crash interrupted an earlier append) a line
// feed goes first, so the new record starts on a line of its own. Creates the
// file, and its folder, when missing. False when nothing could be written.
bool appendLine(const QString &path, const QByteArray &line);

// The whole file; absent when it does not exist or cannot be read.
std::optional<QByteArray> readAll(const QString &path);

// Replaces the file with `contents` so that a crash at any moment leaves
// either the old or the new file: a temporary file in the same folder is
// written, flushed to disk and renamed over the original. False on failure,
// with the original untouched.
bool replaceAtomically(const QString &path, const QByteArray &contents);

// Deletes temporary files that an interrupted replace of `path` left behind
// more than an hour ago (younger ones may belong to a replace in progress).
void removeStaleTemporaries(const QString &path);

} // namespace LogFile
