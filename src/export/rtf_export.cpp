#include "export/rtf_export.h"

#include "base/text_util.h"
#include "core/locale.h"
#include "core/views/picture_view.h"
#include "export/export_registry.h"

namespace {

constexpr char kCrLf[] = "\r\n";

// Where a text's table cell starts: a right-aligned text's X is its right edge.
int CellStart(const TkvTextRec& rec) {
    return rec.Alignment == 1 ? std::min(rec.X, rec.DrawRect.Left) : rec.X;
}

} // namespace

TkvRTFExport::TkvRTFExport() : TkvTextExport(NoRegistration{}) {
    ScaleX = 1.3;
    kv::RegisterExportFilter(this, kv::LoadLibraryText(55218) + " (*.rtf)", "*.rtf");
}

int TkvRTFExport::Twips(double v) const {
    const double sx = ScaleX > 0 ? ScaleX : 1.0;
    return kv::RoundEven(v / (1.3 / sx) * 20);
}

void TkvRTFExport::BeginDocument() {
    pageWritten_ = false;
    body_.clear();
    fonts_ = {};
    colors_ = {};
    pictures_.clear();
    Write(QByteArray("{\\rtf1\\ansi") + kCrLf + "\\margl600\\margr600\\margt600\\margb600" + kCrLf);
}

void TkvRTFExport::ExportObject(int x, int y, TkvView& view) {
    auto* picture = dynamic_cast<TkvPictureView*>(&view);
    if (!ExportBitmaps || !picture || picture->Picture.IsEmpty()) return;
    PagePicture p{x, y, view.Width, view.Height, kvrtf::DrawViewToImage(view)};
    if (!p.Image.isNull()) pictures_.push_back(std::move(p));
}

QByteArray TkvRTFExport::PictureRtf(const PagePicture& p) const {
    QByteArray out = "\\pard\\phmrg\\posx" + QByteArray::number(Twips(p.X)) + "\\posy" +
                     QByteArray::number(kv::RoundEven(p.Y * 20 / 1.3)) + "\\absh" +
                     QByteArray::number(qint64(p.Height) * 20) + "\\absw" + QByteArray::number(qint64(p.Width) * 20) +
                     "{\\pict\\wmetafile8\\picw" + QByteArray::number(kv::RoundEven(p.Width * 26.46875)) +
                     "\\pich" + QByteArray::number(kv::RoundEven(p.Height * 26.46875)) + " \\picbmp\\picbpp4" + kCrLf;
    out += kvrtf::HexMetafile(p.Image, false);
    out += QByteArray("030000000000}\\par") + kCrLf;
    return out;
}

void TkvRTFExport::EndPage() {
    QByteArray& b = body_;
    if (pageWritten_ && PageBreaks) b += QByteArray("\\page") + kCrLf;
    if (ExportBitmaps)
        for (const PagePicture& p : pictures_) b += PictureRtf(p);
    const int last = LastUsedLine();
    for (int line = 0; line <= last; ++line) {
        const auto& chain = Lines[size_t(line)];
        QByteArray prefix = ConvertToTable ? "\\trowd \\trgaph108" : "\\pard";
        QByteArray body;
        QByteArray prevFont;
        int prevSize = -1, prevStyle = -1;
        int64_t prevColor = -1;
        int lastRight = 0;
        int cellEdge = chain.empty() ? 0 : Twips(CellStart(chain.front())); // where the open cell starts
        bool first = true;
        for (const TkvTextRec& rec : chain) {
            if (!ConvertToTable) {
                if (rec.Alignment == 1) prefix += "\\tqr";
                prefix += "\\tx" + QByteArray::number(Twips(rec.X));
            } else if (!first) {
                // A cell ends where the next text starts and is never empty: a cell of no width
                // breaks its text letter by letter.
                cellEdge = std::max(Twips(CellStart(rec)), cellEdge + 1);
                prefix += "\\cellx" + QByteArray::number(cellEdge);
            }
            const uint32_t color = (rec.FontColor & 0xFFFFFF) == 0xFFFFFF ? 0 : rec.FontColor;
            QByteArray fmt;
            if (rec.FontName != prevFont || first || ConvertToTable)
                fmt += "\\f" + QByteArray::number(fonts_.Number(rec.FontName));
            if (rec.FontSize != prevSize || ConvertToTable) fmt += "\\fs" + QByteArray::number(qint64(rec.FontSize) * 2);
            if (rec.FontStyle != prevStyle || ConvertToTable) {
                if (rec.FontStyle & 1) fmt += "\\i";
                if (rec.FontStyle & 2) fmt += "\\b";
                if (rec.FontStyle & 4) fmt += "\\ul";
            }
            if (int64_t(color) != prevColor || ConvertToTable) fmt += "\\cf" + QByteArray::number(colors_.Number(color));
            const QByteArray text = kvrtf::EscapeBytes(rec.Text, rec.FontCharset);
            if (ConvertToTable)
                body += "{" + fmt + " " + text + "}\\cell ";
            else
                body += "\\tab" + fmt + " " + text;
            prevFont = rec.FontName;
            prevSize = rec.FontSize;
            prevStyle = rec.FontStyle;
            prevColor = color;
            lastRight = Twips(rec.DrawRect.Right);
            first = false;
        }
        if (KillEmptyLines && chain.empty()) continue;
        if (chain.empty())
            b += QByteArray("{\\pard \\par}") + kCrLf;
        else if (ConvertToTable)
            b += prefix + "\\cellx" + QByteArray::number(std::max(lastRight, cellEdge + 1)) + " \\trleft" +
                 QByteArray::number(Twips(CellStart(chain.front()))) + " \\pard \\intbl " + body +
                 "\\pard \\intbl \\row" + kCrLf;
        else
            b += prefix + "{" + body + "\\par}" + kCrLf;
    }
    if (ConvertToTable) b += QByteArray("\\pard") + kCrLf;
    pageWritten_ = true;
    pictures_.clear();
}

void TkvRTFExport::EndDocument() {
    body_ += "\\par}";
    Write(kvrtf::TableLines("{\\fonttbl", fonts_.Entries(), kCrLf) + kCrLf);
    Write(kvrtf::TableLines("{\\colortbl;", colors_.Entries(), kCrLf) + kCrLf);
    Write(body_);
    body_.clear();
}
