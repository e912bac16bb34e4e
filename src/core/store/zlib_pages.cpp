#include "core/store/zlib_pages.h"

#include <zlib.h>

#include <algorithm>

namespace kv {

bool LooksLikeZlib(const QByteArray& data) {
    if (data.size() < 2) return false;
    const auto cmf = static_cast<uint8_t>(data[0]);
    const auto flg = static_cast<uint8_t>(data[1]);
    return (cmf & 0x0F) == Z_DEFLATED && (cmf >> 4) <= 7 && (cmf * 256 + flg) % 31 == 0;
}

bool InflateZlib(const QByteArray& data, qint64 maxSize, QByteArray& out, std::string& reason) {
    out.clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        reason = "the decompressor could not be started";
        return false;
    }
    struct End {
        z_stream& z;
        ~End() { inflateEnd(&z); }
    } end{z};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = static_cast<uInt>(data.size());
    constexpr qint64 kChunk = 64 * 1024;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        const qint64 have = out.size();
        const qint64 room = std::min(kChunk, maxSize - have + 1); // one byte past the limit shows it
        if (room <= 0) break;
        out.resize(have + room);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + have);
        z.avail_out = static_cast<uInt>(room);
        rc = inflate(&z, Z_NO_FLUSH);
        out.resize(have + room - z.avail_out);
        if (out.size() > maxSize) {
            reason = "the page expands beyond " + std::to_string(maxSize / (1024 * 1024)) + " MB";
            out.clear();
            return false;
        }
        if (rc == Z_STREAM_END) break;
        if (rc == Z_BUF_ERROR) {
            reason = "the compressed data ends early";
            out.clear();
            return false;
        }
        if (rc != Z_OK) {
            reason = z.msg ? std::string("the compressed data is damaged (") + z.msg + ")"
                           : std::string("the compressed data is damaged");
            out.clear();
            return false;
        }
        if (z.avail_in == 0 && z.avail_out != 0) {
            reason = "the compressed data ends early";
            out.clear();
            return false;
        }
    }
    if (z.avail_in != 0) {
        reason = "the compressed data is followed by " + std::to_string(z.avail_in) + " other bytes";
        out.clear();
        return false;
    }
    return true;
}

} // namespace kv
