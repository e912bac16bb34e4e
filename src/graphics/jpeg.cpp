#include "graphics/jpeg.h"

#include "graphics/image_limits.h"

#include <QPainter>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace kv {

namespace {

// Progressive files can hold thousands of tiny scans that each cost a full pass over the image;
// legitimate encoders write a dozen or so.
constexpr int kMaxScans = 500;
// libjpeg's own working memory for one image (coefficient buffers of progressive files).
constexpr long kMaxJpegWorkMemory = 512L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
    // A file that ends early is corrupt: libjpeg would pad it with grey and call it a success.
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) ErrorExit(cinfo);
    if (level < 0) ++cinfo->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}

void Progress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        ErrorExit(cinfo);
}

void InstallErrors(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
}

// Everything between setjmp and a possible longjmp is plain C state or lives in the caller's
// frame, so the jump skips no destructor. `out` is assigned before libjpeg writes into it.
bool DecodeInto(jpeg_decompress_struct* cinfo, ErrorManager* err, const unsigned char* data,
                unsigned long size, QImage* out) {
    if (setjmp(err->jump)) return false;
    jpeg_mem_src(cinfo, data, size);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (!ImageSizeAllowed(cinfo->image_width, cinfo->image_height)) return false;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    if (!jpeg_start_decompress(cinfo)) return false;
    if (cinfo->output_components != 4) return false;
    *out = QImage(int(cinfo->output_width), int(cinfo->output_height), QImage::Format_RGB32);
    if (out->isNull()) return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->scanLine(int(cinfo->output_scanline));
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(cinfo);
    if (cmyk) {
        // Adobe writes inverted CMYK; convert in place (K multiplies the other three).
        const bool inverted = cinfo->saw_Adobe_marker;
        for (int y = 0; y < out->height(); ++y) {
            uchar* p = out->scanLine(y);
            for (int x = 0; x < out->width(); ++x, p += 4) {
                int c = p[0], m = p[1], ye = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    ye = 255 - ye;
                    k = 255 - k;
                }
                const int r = c * k / 255, g = m * k / 255, b = ye * k / 255;
                p[0] = uchar(b);
                p[1] = uchar(g);
                p[2] = uchar(r);
                p[3] = 255;
            }
        }
    }
    return true;
}

bool EncodeInto(jpeg_compress_struct* cinfo, ErrorManager* err, const QImage* image, int quality,
                unsigned char** buffer, unsigned long* size) {
    if (setjmp(err->jump)) return false;
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = JDIMENSION(image->width());
    cinfo->image_height = JDIMENSION(image->height());
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<uchar*>(image->constScanLine(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(QByteArrayView data) {
    if (data.size() < 4) return {};
    QImage image;
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    InstallErrors(err);
    cinfo.err = &err.pub;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = Progress;
    if (setjmp(err.jump)) return {}; // jpeg_create_decompress failed (out of memory); nothing to destroy
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    cinfo.mem->max_memory_to_use = kMaxJpegWorkMemory;
    const bool ok = DecodeInto(&cinfo, &err, reinterpret_cast<const unsigned char*>(data.data()),
                               static_cast<unsigned long>(data.size()), &image);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) return {};
    return image;
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
    if (image.isNull() || image.width() > 65500 || image.height() > 65500 ||
        !ImageSizeAllowed(image.width(), image.height()))
        return {};
    QImage rgb;
    if (image.hasAlphaChannel()) {
        rgb = QImage(image.size(), QImage::Format_RGB32);
        rgb.fill(Qt::white);
        QPainter p(&rgb);
        p.drawImage(0, 0, image);
    } else {
        rgb = image.convertToFormat(QImage::Format_RGB32);
    }
    if (rgb.isNull()) return {};
    quality = std::clamp(quality, 1, 100);
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    InstallErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) return {};
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = EncodeInto(&cinfo, &err, &rgb, quality, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    QByteArray out;
    if (ok && buffer) out = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

} // namespace kv
