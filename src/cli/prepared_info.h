#pragma once
// kvtool's prepared report commands, kept apart from main() so that tests can run them in-process.

#include <QByteArray>
#include <QString>

namespace kvcli {

// What a command prints: its output, at most one error line for stderr, and the exit code
// (0 success, 1 a file that cannot be read or written).
struct CommandResult {
    int ExitCode = 0;
    QByteArray Out;
    QByteArray Error; // one line without its newline, empty on success
};

// `kvtool info FILE [--json]`. The summary loads without unpacking; --json unpacks every page and
// lists its objects. Pages that fail to unpack report their error and the others still list.
CommandResult Info(const QString& path, bool json);
// The same over file bytes already in memory (label names the file in messages).
CommandResult InfoFromBytes(const QByteArray& bytes, bool json, const QString& label);

// `kvtool convert IN OUT`: loads and saves; OUT is replaced only when the whole file was written.
CommandResult Convert(const QString& in, const QString& out);

// Library start-up for the tool (views registered, printer ready); idempotent.
void StartLibrary();

} // namespace kvcli
