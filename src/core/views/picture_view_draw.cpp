// Drawing a picture view: decoding its kept file bytes once, placing the graphic in the object and
// the printer-side drawing rules.
#include "base/codepage.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/views/picture_view.h"
#include "base/text_util.h"
#include "graphics/bitmap.h"
#include "graphics/icon.h"
#include "graphics/jpeg.h"
#include "graphics/metafile.h"
#include "render/canvas.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <new>

struct TkvDecodedPicture {
    uint8_t Kind = kvgk::None;
    // The bytes that were decoded, shared with the view's Picture.Data: while this reference lives,
    // a change to the view's bytes detaches them, so comparing data pointers detects every change.
    QByteArray Bytes;
    QImage Image; // bitmap, JPEG or icon
    TkvMetafile Metafile;
    QSize Size; // empty when the bytes do not decode
    bool Monochrome = false;
    QImage PrintImage; // the 24-bit copy printers stretch; made on first use
};

namespace {

int ClampToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// Halves toward zero, on 64 bits so that nothing overflows.
int64_t Div2(int64_t v) {
    return v / 2;
}

void Decode(TkvDecodedPicture& d) {
    switch (d.Kind) {
    case kvgk::Bitmap: {
        d.Image = kv::DecodeBitmap(d.Bytes);
        QByteArrayView dib(d.Bytes);
        if (dib.size() >= 14 && dib[0] == 'B' && dib[1] == 'M') dib = dib.sliced(14);
        d.Monochrome = !d.Image.isNull() && kv::IsMonochromeDib(dib);
        break;
    }
    case kvgk::Jpeg:
        d.Image = kv::DecodeJpeg(d.Bytes);
        break;
    case kvgk::Icon:
        d.Image = kv::DecodeIcon(d.Bytes);
        break;
    case kvgk::Metafile:
        if (d.Metafile.Load(d.Bytes)) d.Size = d.Metafile.SizeHint();
        return;
    default:
        return;
    }
    if (!d.Image.isNull()) d.Size = d.Image.size();
}

// The picture as the printer path draws it: drawn first into a 24-bit bitmap of its own size
// (transparent parts on white), whose pixels are then stretched.
QImage PrintableCopy(const QImage& image) {
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB888);
    QImage flat(image.size(), QImage::Format_RGB888);
    if (flat.isNull()) return {};
    flat.fill(Qt::white);
    QPainter p(&flat);
    p.drawImage(0, 0, image);
    p.end();
    return flat;
}

// The designer's mark for an empty picture when the resources have none: a small framed landscape.
QImage DrawnEmptyMark() {
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, 15, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawPolygon(QPolygon({QPoint(2, 13), QPoint(6, 7), QPoint(9, 11), QPoint(11, 9), QPoint(14, 13)}));
    p.setBrush(QColor(255, 200, 0));
    p.drawEllipse(QRect(9, 3, 4, 4));
    p.end();
    return img;
}

const QImage& EmptyMark() {
    static const QImage mark = [] {
        QImage fromResources = kv::LoadLibraryBitmap("KV_EMPTY");
        return fromResources.isNull() ? DrawnEmptyMark() : fromResources;
    }();
    return mark;
}

} // namespace

const TkvDecodedPicture* TkvPictureView::Decoded() {
    if (Picture.IsEmpty()) {
        decoded_.reset();
        return nullptr;
    }
    if (!decoded_ || decoded_->Kind != Picture.Kind ||
        decoded_->Bytes.constData() != Picture.Data.constData() ||
        decoded_->Bytes.size() != Picture.Data.size()) {
        auto d = std::make_shared<TkvDecodedPicture>();
        d->Kind = Picture.Kind;
        d->Bytes = Picture.Data;
        try {
            Decode(*d);
        } catch (const std::exception&) {
            // Decoders report bad data as a null result; anything thrown regardless (memory) still
            // only loses this picture.
            d->Image = {};
            d->Metafile.Clear();
            d->Size = {};
        }
        decoded_ = std::move(d);
    }
    return decoded_->Size.isEmpty() ? nullptr : decoded_.get();
}

QSize TkvPictureView::GraphicSize() {
    const TkvDecodedPicture* d = Decoded();
    return d ? d->Size : QSize();
}

QRect TkvPictureView::GraphicTarget(QSize pictureSize) const {
    const int64_t pw = pictureSize.width(), ph = pictureSize.height();
    const TkvRect& inner = InnerRect;
    int64_t left = inner.Left, top = inner.Top, right = inner.Right, bottom = inner.Bottom;
    if (Flags & kvflag::Stretched) {
        if (Flags & kvpf::KeepAspect) {
            const double kx = double(Width) / double(pw);
            const double ky = double(Height) / double(ph);
            if (kx >= ky)
                right = left + kv::RoundEven(double(pw) * ky);
            else
                bottom = top + kv::RoundEven(double(ph) * kx);
            if (Flags & kvpf::Center) {
                const int64_t dx = Div2(int64_t(inner.Width()) - (right - left));
                const int64_t dy = Div2(int64_t(inner.Height()) - (bottom - top));
                left += dx;
                right += dx;
                top += dy;
                bottom += dy;
            }
        }
    } else {
        const int64_t w = kv::RoundEven(double(pw) * ZoomX);
        const int64_t h = kv::RoundEven(double(ph) * ZoomY);
        if (Flags & kvpf::Center) {
            left += Div2(int64_t(inner.Width()) - w);
            top += Div2(int64_t(inner.Height()) - h);
        }
        right = left + w;
        bottom = top + h;
    }
    const TkvRect r{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)};
    return r.toQRect();
}

void TkvPictureView::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    AttachCanvas(&canvas);
    ScaleForDrawing();
    DrawBackground();
    if (const TkvDecodedPicture* d = Decoded())
        DrawGraphic(canvas, GraphicTarget(d->Size));
    else if (kv::DocumentMode() == 0)
        DrawEmptyPlaceholder(canvas);
    DrawFrame();
    RestoreAfterDrawing();
}

void TkvPictureView::DrawGraphic(TkvCanvas& canvas, const QRect& r) {
    const TkvDecodedPicture* cached = Decoded();
    if (!cached || r.width() <= 0 || r.height() <= 0) return;
    TkvDecodedPicture& d = *decoded_;
    switch (d.Kind) {
    case kvgk::Metafile:
        d.Metafile.Play(canvas, r);
        return;
    case kvgk::Icon:
        if (!ToPrinter) canvas.DrawImage(r, d.Image, true);
        return;
    case kvgk::Bitmap:
    case kvgk::Jpeg:
        if (!ToPrinter) {
            canvas.DrawImage(r, d.Image, !d.Monochrome);
            return;
        }
        // Printers drop the rows and columns that fall away instead of blending them.
        if (d.PrintImage.isNull()) {
            try {
                d.PrintImage = PrintableCopy(d.Image);
            } catch (const std::bad_alloc&) {
                return;
            }
        }
        if (!d.PrintImage.isNull()) canvas.DrawImage(r, d.PrintImage, false);
        return;
    default:
        return;
    }
}

void TkvPictureView::DrawEmptyPlaceholder(TkvCanvas& canvas) {
    TkvFont font;
    font.name = QStringLiteral("Arial");
    font.pointSize = 8;
    font.style = 0;
    font.color = 0;
    font.charset = kv::DefaultCharset;
    canvas.SetFont(font);
    const QRect clip = InnerRect.toQRect();
    canvas.TextOut({Left + 20, Top + 3}, kv::DecodeText(kv::LoadLibraryText(55228), kv::DefaultCharset),
                   &clip);
    const QImage& mark = EmptyMark();
    canvas.DrawImage(QRect(QPoint(Left + 1, Top + 2), mark.size()), mark, false);
}
