#pragma once
// Page data of compressed prepared report files. Compression add-ins commonly store each page as a
// zlib stream; pages in any other form are kept as stored and reported as unreadable.

#include <QByteArray>
#include <cstdint>
#include <string>

namespace kv {

// Whether the bytes start with a well-formed zlib header (deflate, window at most 32 KB, check bits).
bool LooksLikeZlib(const QByteArray& data);

// Inflates one complete zlib stream. Fails (returns false with a one-line reason) when the data is
// not a complete valid stream, has bytes after its end, or would expand beyond maxSize bytes.
bool InflateZlib(const QByteArray& data, qint64 maxSize, QByteArray& out, std::string& reason);

} // namespace kv
