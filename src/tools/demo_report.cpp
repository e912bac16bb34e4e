#include "tools/demo_report.h"

#include "core/store/emf_pages.h"
#include "core/globals.h"
#include "core/startup.h"
#include "core/views/band_control_views.h"
#include "core/views/standard_views.h"
#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/report/page.h"
#include "core/views/picture_view.h"
#include "core/views/rich_view.h"
#include "core/report/report.h"
#include "graphics/jpeg.h"
#include "base/codepage.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QtEndian>
#include <array>
#include <memory>
#include <vector>

namespace kvdemo {

namespace {

// Report colours keep red in the low byte.
constexpr uint32_t Rgb(int r, int g, int b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

constexpr uint32_t kNavy = Rgb(31, 56, 100);
constexpr uint32_t kAccent = Rgb(46, 117, 182);
constexpr uint32_t kGrey = Rgb(128, 128, 128);
constexpr uint32_t kRule = Rgb(160, 160, 160);
constexpr uint32_t kZebra = Rgb(235, 241, 248);
constexpr uint32_t kLink = Rgb(5, 99, 193);
constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr int kPageCount = 4;

constexpr int kFrameAll = 15; // right, bottom, left and top sides

enum FrameStyleCode : uint16_t { kSolid = 0, kDash = 1, kDot = 2, kDashDot = 3, kDouble = 5 };

// ---------------------------------------------------------------- pictures made in code

QByteArray LogoJpeg() {
    QImage img(320, 160, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 160, 160);
    sky.setColorAt(0, QColor(46, 117, 182));
    sky.setColorAt(1, QColor(31, 56, 100));
    p.setBrush(sky);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(8, 8, 144, 144));
    // Three swept strokes: the wind of the company's name.
    p.setPen(QPen(Qt::white, 9, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        QPainterPath wind;
        const double y = 52 + i * 28;
        wind.moveTo(30, y);
        wind.cubicTo(70, y - 22, 100, y + 22, 132, y - 6);
        p.drawPath(wind);
    }
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(54);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(31, 56, 100));
    p.drawText(QRect(164, 20, 156, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("NW"));
    f.setPixelSize(20);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(46, 117, 182));
    p.drawText(QRect(166, 90, 156, 50), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("TRADING"));
    p.end();
    return kv::EncodeJpeg(img, 90);
}

QByteArray BmpOf(const QImage& img) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "BMP");
    return bytes;
}

// The company seal: a 24-bit bitmap.
QByteArray SealBitmap() {
    QImage img(160, 160, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 70, 170);
    p.setPen(QPen(ink, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(6, 6, 148, 148));
    p.setPen(QPen(ink, 2));
    p.drawEllipse(QRectF(22, 22, 116, 116));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 52, 160, 22), Qt::AlignCenter, QStringLiteral("«СЕВЕРНЫЙ"));
    p.drawText(QRect(0, 72, 160, 22), Qt::AlignCenter, QStringLiteral("ВЕТЕР»"));
    f.setPixelSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 96, 160, 18), Qt::AlignCenter, QStringLiteral("ПРОВЕРЕНО"));
    p.drawText(QRect(0, 30, 160, 18), Qt::AlignCenter, QStringLiteral("★ 2026 ★"));
    p.end();
    return BmpOf(img);
}

// A handwritten signature: a monochrome (1-bit) bitmap.
QByteArray SignatureBitmap() {
    QImage img(240, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath s;
    s.moveTo(10, 55);
    s.cubicTo(30, 5, 45, 5, 40, 60);
    s.cubicTo(38, 75, 60, 20, 80, 40);
    s.cubicTo(95, 55, 105, 25, 120, 38);
    s.cubicTo(135, 50, 150, 20, 170, 35);
    s.cubicTo(185, 45, 200, 40, 230, 30);
    p.drawPath(s);
    p.drawLine(QPointF(60, 66), QPointF(210, 60));
    p.end();
    return BmpOf(img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
}

// A Windows metafile (placeable WMF) bar chart written record by record.
class WmfWriter {
public:
    void SetWindow(int x, int y, int w, int h) {
        Record(0x020B, {int16_t(y), int16_t(x)}); // SETWINDOWORG: y, x
        Record(0x020C, {int16_t(h), int16_t(w)}); // SETWINDOWEXT: y, x
    }
    int CreatePen(uint16_t style, int width, uint32_t color) {
        QByteArray p;
        Put16(p, style);
        Put16(p, uint16_t(width));
        Put16(p, 0);
        Put32(p, color);
        RecordBytes(0x02FA, p);
        return objects_++;
    }
    int CreateBrush(uint32_t color, uint16_t style = 0) {
        QByteArray p;
        Put16(p, style);
        Put32(p, color);
        Put16(p, 0);
        RecordBytes(0x02FC, p);
        return objects_++;
    }
    int CreateFont(int height, bool bold, uint8_t charset) {
        QByteArray p;
        for (int16_t v : {int16_t(-height), int16_t(0), int16_t(0), int16_t(0), int16_t(bold ? 700 : 400)})
            Put16(p, uint16_t(v));
        p.append(char(0)).append(char(0)).append(char(0)).append(char(charset));
        p.append(char(0)).append(char(0)).append(char(0)).append(char(0));
        p.append("Arial");
        p.append(char(0));
        if (p.size() % 2) p.append(char(0));
        RecordBytes(0x02FB, p);
        return objects_++;
    }
    void Select(int object) { Record(0x012D, {int16_t(object)}); }
    void TextColor(uint32_t color) {
        QByteArray p;
        Put32(p, color);
        RecordBytes(0x0209, p);
    }
    void Transparent() { Record(0x0102, {1, 0}); }
    void TextAlign(uint16_t align) { Record(0x012E, {int16_t(align), 0}); }
    void Rect(int l, int t, int r, int b) {
        Record(0x041B, {int16_t(b), int16_t(r), int16_t(t), int16_t(l)});
    }
    void Ellipse(int l, int t, int r, int b) {
        Record(0x0418, {int16_t(b), int16_t(r), int16_t(t), int16_t(l)});
    }
    void Line(int x1, int y1, int x2, int y2) {
        Record(0x0214, {int16_t(y1), int16_t(x1)});
        Record(0x0213, {int16_t(y2), int16_t(x2)});
    }
    void Polyline(const std::vector<QPoint>& pts) {
        QByteArray p;
        Put16(p, uint16_t(pts.size()));
        for (QPoint pt : pts) {
            Put16(p, uint16_t(pt.x()));
            Put16(p, uint16_t(pt.y()));
        }
        RecordBytes(0x0325, p);
    }
    void Text(int x, int y, const QByteArray& text) {
        QByteArray p;
        Put16(p, uint16_t(text.size()));
        p.append(text);
        if (p.size() % 2) p.append(char(0));
        Put16(p, uint16_t(y));
        Put16(p, uint16_t(x));
        RecordBytes(0x0521, p);
    }

    // The whole file: placeable header (bounding box in logical units, `unitsPerInch`), the
    // standard header, the records and the end record.
    QByteArray Finish(int width, int height, int unitsPerInch) {
        Record(0x0000, {});
        QByteArray out;
        Put32(out, 0x9AC6CDD7u);
        Put16(out, 0);
        for (int v : {0, 0, width, height})
            Put16(out, uint16_t(v));
        Put16(out, uint16_t(unitsPerInch));
        Put32(out, 0);
        uint16_t checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<uint16_t>(out.constData() + 2 * i);
        Put16(out, checksum);
        Put16(out, 1);      // memory metafile
        Put16(out, 9);      // header words
        Put16(out, 0x0300); // version
        Put32(out, uint32_t(9 + records_.size() / 2));
        Put16(out, uint16_t(objects_));
        Put32(out, maxRecordWords_);
        Put16(out, 0);
        return out + records_;
    }

private:
    static void Put16(QByteArray& b, uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
    static void Put32(QByteArray& b, uint32_t v) {
        Put16(b, uint16_t(v & 0xFFFF));
        Put16(b, uint16_t(v >> 16));
    }
    void Record(uint16_t function, std::initializer_list<int16_t> params) {
        QByteArray p;
        for (int16_t v : params)
            Put16(p, uint16_t(v));
        RecordBytes(function, p);
    }
    void RecordBytes(uint16_t function, const QByteArray& params) {
        const uint32_t words = 3 + uint32_t(params.size() / 2);
        Put32(records_, words);
        Put16(records_, function);
        records_ += params;
        maxRecordWords_ = std::max(maxRecordWords_, words);
    }

    QByteArray records_;
    int objects_ = 0;
    uint32_t maxRecordWords_ = 0;
};

struct RegionSales {
    const char* Russian;
    const char* English;
    const char* Short;
    std::array<int, 3> Months; // thousands of roubles, July to September
};

const std::array<RegionSales, 6> kRegions = {{
    {"Северо-Запад", "North-West", "С-З", {1412, 1530, 1618}},
    {"Центр", "Centre", "Центр", {1870, 1925, 2046}},
    {"Поволжье", "Volga", "Волга", {905, 948, 1012}},
    {"Урал", "Urals", "Урал", {744, 781, 835}},
    {"Сибирь", "Siberia", "Сибирь", {633, 612, 690}},
    {"Дальний Восток", "Far East", "ДВ", {298, 315, 341}},
}};

int RegionTotal(const RegionSales& r) {
    return r.Months[0] + r.Months[1] + r.Months[2];
}

QByteArray ChartMetafile() {
    constexpr int W = 1000, H = 600;
    constexpr int left = 90, right = 970, top = 80, bottom = 500;
    WmfWriter w;
    w.SetWindow(0, 0, W, H);
    const int framePen = w.CreatePen(0, 2, Rgb(190, 190, 190));
    const int gridPen = w.CreatePen(2, 0, Rgb(200, 200, 200));
    const int axisPen = w.CreatePen(0, 3, Rgb(60, 60, 60));
    const int planPen = w.CreatePen(0, 5, Rgb(220, 80, 40));
    const int noPen = w.CreatePen(5, 0, 0);
    const int white = w.CreateBrush(Rgb(255, 255, 255));
    const int hollow = w.CreateBrush(0, 1);
    const int titleFont = w.CreateFont(30, true, 204);
    const int labelFont = w.CreateFont(24, false, 204);
    const int valueFont = w.CreateFont(22, true, 0);
    const uint32_t barColors[] = {Rgb(31, 56, 100),  Rgb(46, 117, 182), Rgb(91, 155, 213),
                                  Rgb(112, 173, 71), Rgb(255, 192, 0),  Rgb(237, 125, 49)};
    std::vector<int> bars;
    for (uint32_t c : barColors)
        bars.push_back(w.CreateBrush(c));

    w.Select(framePen);
    w.Select(white);
    w.Rect(0, 0, W, H);
    w.Transparent();
    w.Select(titleFont);
    w.TextColor(Rgb(31, 56, 100));
    w.TextAlign(6); // centre, top
    w.Text(W / 2, 18,
           kv::EncodeText(QStringLiteral("Выручка за III квартал, тыс. руб. / Q3 revenue, RUB k"), 204));

    // Scale: 0 to 6000 thousand roubles.
    constexpr int maxValue = 6000;
    w.Select(gridPen);
    w.Select(labelFont);
    w.TextColor(Rgb(90, 90, 90));
    w.TextAlign(2 | 24); // right, baseline
    for (int v = 0; v <= maxValue; v += 1000) {
        const int y = bottom - (bottom - top) * v / maxValue;
        if (v > 0) w.Line(left, y, right, y);
        w.Text(left - 10, y + 8, QByteArray::number(v));
    }
    w.Select(axisPen);
    w.Line(left, top - 10, left, bottom);
    w.Line(left, bottom, right, bottom);

    const int slot = (right - left) / int(kRegions.size());
    std::vector<QPoint> plan;
    for (size_t i = 0; i < kRegions.size(); ++i) {
        const int total = RegionTotal(kRegions[i]);
        const int x0 = left + int(i) * slot + slot / 5;
        const int x1 = x0 + slot * 3 / 5;
        const int y = bottom - (bottom - top) * total / maxValue;
        w.Select(noPen);
        w.Select(bars[i]);
        w.Rect(x0, y, x1 + 1, bottom + 1);
        w.Select(valueFont);
        w.TextColor(Rgb(40, 40, 40));
        w.TextAlign(6 | 8); // centre, bottom
        w.Text((x0 + x1) / 2, y - 4, QByteArray::number(total));
        w.Select(labelFont);
        w.TextColor(Rgb(60, 60, 60));
        w.TextAlign(6);
        w.Text((x0 + x1) / 2, bottom + 12, kv::EncodeText(QString::fromUtf8(kRegions[i].Short), 204));
        plan.push_back(QPoint((x0 + x1) / 2, bottom - (bottom - top) * total * 92 / 100 / maxValue));
    }
    // The plan line with its markers.
    w.Select(planPen);
    w.Polyline(plan);
    w.Select(hollow);
    for (QPoint pt : plan)
        w.Ellipse(pt.x() - 8, pt.y() - 8, pt.x() + 9, pt.y() + 9);
    w.Select(labelFont);
    w.TextColor(Rgb(220, 80, 40));
    w.TextAlign(0);
    w.Line(left + 20, 562, left + 70, 562);
    w.Text(left + 80, 548, kv::EncodeText(QStringLiteral("План / Plan"), 204));
    return w.Finish(W, H, 240);
}

// ---------------------------------------------------------------- pages

struct TextStyle {
    int Size = 9;
    uint16_t Style = 0;
    uint32_t Color = 0;
    int32_t Alignment = kvta::Left;
};

class DemoPage {
public:
    explicit DemoPage(bool landscape)
        : page_(std::make_unique<TkvPage>(9, landscape ? 2970 : 2100, landscape ? 2100 : 2970, -1,
                                          landscape ? 1 : 0)) {
        page_->UseMargins = 1;
    }

    int Width() const { return page_->Metrics.PageWidth; }
    int Height() const { return page_->Metrics.PageHeight; }

    TkvMemoView& Text(int l, int t, int w, int h, const QString& text, const TextStyle& st = {}) {
        auto v = std::make_unique<TkvMemoView>();
        v->SetBounds(l, t, w, h);
        // Windows-1251 also holds "№" and the typographic marks; Latin-only text stays in 1252.
        const bool cyrillic =
            std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x400; });
        v->Font.Charset = cyrillic ? 204 : 0;
        v->Font.Size = st.Size;
        v->Font.Style = st.Style;
        v->Font.Color = st.Color;
        v->Alignment = st.Alignment;
        v->Flags = kvmf::WordWrap;
        v->FrameTyp = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            v->Memo.append(kv::EncodeText(line, v->Font.Charset));
        return Add(std::move(v), "Memo");
    }

    // A table cell: frame on every side, optional fill, text centred vertically.
    TkvMemoView& Cell(int l, int t, int w, int h, const QString& text, TextStyle st,
                      uint32_t fill = 0x1FFFFFFF, uint32_t frameColor = kRule) {
        st.Alignment |= kvta::Middle;
        TkvMemoView& v = Text(l, t, w, h, text, st);
        v.FrameTyp = kFrameAll;
        v.FrameColor = frameColor;
        v.FillColor = fill;
        v.GapX = 4;
        return v;
    }

    // An object that only shows its frame and fill.
    TkvMemoView& Box(int l, int t, int w, int h, uint32_t fill, uint16_t frameStyle, uint32_t frameColor,
                     float frameWidth = 1, int frameSides = kFrameAll) {
        TkvMemoView& v = Text(l, t, w, h, QString());
        v.FillColor = fill;
        v.FrameTyp = uint16_t(frameSides);
        v.FrameStyle = frameStyle;
        v.FrameColor = frameColor;
        v.FrameWidth = frameWidth;
        return v;
    }

    TkvLineView& HLine(int l, int t, int w, uint32_t color, float width = 1, uint16_t style = kSolid) {
        return Line(l, t, w, 0, color, width, style);
    }
    TkvLineView& VLine(int l, int t, int h, uint32_t color, float width = 1, uint16_t style = kSolid) {
        return Line(l, t, 0, h, color, width, style);
    }

    TkvPictureView& Picture(int l, int t, int w, int h, uint8_t kind, const QByteArray& bytes,
                            uint16_t flags = kvflag::Stretched | kvpf::KeepAspect | kvpf::Center) {
        auto v = std::make_unique<TkvPictureView>();
        v->SetBounds(l, t, w, h);
        v->Picture.Kind = kind;
        v->Picture.Data = bytes;
        v->Flags = flags;
        v->FrameTyp = 0;
        return Add(std::move(v), "Picture");
    }

    // A rich text object with the given RTF.
    TkvRichView& Rich(int l, int t, int w, int h, const QByteArray& rtf, uint32_t fill, uint32_t frameColor) {
        auto v = std::make_unique<TkvRichView>();
        v->SetBounds(l, t, w, h);
        v->RichText = rtf;
        v->FillColor = fill;
        v->FrameTyp = 15;
        v->FrameColor = frameColor;
        v->GapX = 8;
        v->GapY = 6;
        return static_cast<TkvRichView&>(Add(std::move(v), "Rich"));
    }

    // A hyperlink: objects named URL... link to their Tag ("@n" is page n of the report).
    TkvMemoView& Link(int l, int t, int w, int h, const QString& text, const QByteArray& target,
                      int32_t alignment = kvta::Left) {
        TkvMemoView& v = Text(l, t, w, h, text, {9, kvfs::Underline, kLink, alignment});
        v.Name = "URL" + QByteArray::number(++links_);
        v.Tag = target;
        return v;
    }

    void Header(const QByteArray& logo, bool compact) {
        const int right = Width() - 40;
        if (compact) {
            Picture(40, 26, 64, 32, kvgk::Jpeg, logo);
            Text(112, 28, 360, 18, QStringLiteral("ООО «Северный ветер» · North Wind Trading Ltd."),
                 {10, kvfs::Bold, kNavy});
            Text(right - 260, 30, 260, 16, QStringLiteral("Отчёт о продажах · Q3 2026"),
                 {8, 0, kGrey, kvta::Right});
            HLine(40, 64, right - 40, kNavy, 2);
            return;
        }
        Picture(40, 24, 120, 60, kvgk::Jpeg, logo);
        Text(172, 26, 420, 26, QStringLiteral("ООО «Северный ветер»"), {16, kvfs::Bold, kNavy});
        Text(172, 54, 420, 16, QStringLiteral("North Wind Trading Ltd. · 12 Nevsky Prospekt, St Petersburg"),
             {8, 0, kGrey});
        Text(172, 70, 300, 16, QStringLiteral("ИНН 7812345678 · тел. +7 812 555-01-23"), {8, 0, kGrey});
        Link(right - 170, 70, 170, 16, QStringLiteral("www.example.com/northwind"),
             "https://example.com/northwind", kvta::Right);
        HLine(40, 94, right - 40, kNavy, 1, kDouble);
    }

    void Footer(int pageNo) {
        const int right = Width() - 40;
        const int y = Height() - 56;
        HLine(40, y, right - 40, kRule);
        Text(40, y + 6, 300, 16, QStringLiteral("Конфиденциально · Confidential"), {7, kvfs::Italic, kGrey});
        Text(right - 220, y + 6, 220, 16,
             QStringLiteral("Страница %1 из %2 · Page %1 of %2").arg(pageNo).arg(kPageCount),
             {8, 0, kGrey, kvta::Right});
    }

    std::unique_ptr<TkvPage> Take() { return std::move(page_); }
    const TkvPage& Page() const { return *page_; }

private:
    template <class V> V& Add(std::unique_ptr<V> v, const char* prefix) {
        V& ref = *v;
        if (ref.Name.isEmpty()) ref.Name = QByteArray(prefix) + QByteArray::number(++count_);
        ref.OwnerPage = page_.get();
        page_->Objects.push_back(std::move(v));
        return ref;
    }
    TkvLineView& Line(int l, int t, int w, int h, uint32_t color, float width, uint16_t style) {
        auto v = std::make_unique<TkvLineView>();
        v->SetBounds(l, t, w, h);
        v->NormalizeDirection();
        v->FrameColor = color;
        v->FrameWidth = width;
        v->FrameStyle = style;
        return Add(std::move(v), "Line");
    }

    std::unique_ptr<TkvPage> page_;
    int count_ = 0;
    int links_ = 0;
};

QString Money(int thousands) {
    // 1234 (thousand) -> "1 234 000"; a non-breaking space keeps digit groups together.
    QString s = QString::number(qint64(thousands) * 1000);
    for (int i = s.size() - 3; i > 0; i -= 3)
        s.insert(i, QChar(0xA0));
    return s;
}

QString Grouped(qint64 v) {
    QString s = QString::number(v);
    for (int i = s.size() - 3; i > 0; i -= 3)
        s.insert(i, QChar(0xA0));
    return s;
}

struct Product {
    const char* Russian;
    const char* English;
    const char* Unit;
    int Quantity;
    int Price; // roubles
};

const std::array<Product, 12> kProducts = {{
    {"Бумага офисная A4, 500 л.", "Office paper A4, 500 sheets", "пач.", 4200, 315},
    {"Картридж лазерный 59X", "Laser toner cartridge 59X", "шт.", 180, 8900},
    {"Папка-регистратор 75 мм", "Lever arch file 75 mm", "шт.", 1250, 245},
    {"Ручка шариковая синяя", "Ballpoint pen, blue", "уп.", 640, 390},
    {"Степлер настольный №24", "Desk stapler No. 24", "шт.", 310, 560},
    {"Блокнот A5 в клетку", "Notebook A5, squared", "шт.", 2100, 120},
    {"Маркер текстовый, набор", "Highlighter set", "наб.", 520, 410},
    {"Калькулятор бухгалтерский", "Desk calculator", "шт.", 95, 1850},
    {"Конверт C4 с окном", "Envelope C4 with window", "уп.", 380, 960},
    {"Скрепки 28 мм, 100 шт.", "Paper clips 28 mm, 100 pcs", "уп.", 1500, 65},
    {"Лоток для бумаг", "Desk letter tray", "шт.", 260, 430},
    {"Флеш-накопитель 64 ГБ", "USB flash drive 64 GB", "шт.", 150, 990},
}};

void BuildSummaryPage(DemoPage& p, const QByteArray& logo) {
    p.Header(logo, false);
    const int w = p.Width() - 80;
    p.Text(40, 108, w, 28, QStringLiteral("Отчёт о продажах за III квартал 2026 года"),
           {16, kvfs::Bold, 0, kvta::Center});
    p.Text(40, 136, w, 20, QStringLiteral("Quarterly sales report, Q3 2026 (July – September)"),
           {11, kvfs::Italic, kGrey, kvta::Center});

    TkvMemoView& info = p.Box(40, 166, w, 40, Rgb(255, 250, 230), kDash, Rgb(191, 144, 0));
    info.Memo = {kv::EncodeText(QStringLiteral("Дата составления / Prepared: 05.10.2026      "
                                               "Подразделение / Department: коммерческая служба / Sales"),
                                204),
                 kv::EncodeText(QStringLiteral("Валюта / Currency: российский рубль (RUB), цены с НДС / "
                                               "prices include VAT"),
                                204)};
    info.Font.Charset = 204;
    info.Font.Size = 8;
    info.GapX = 6;
    info.GapY = 4;

    // The product table.
    const int cols[] = {28, 262, 48, 76, 118, w - 28 - 262 - 48 - 76 - 118};
    const char* heads[] = {"№",           "Товар\nProduct",         "Ед.\nUnit",
                           "Кол-во\nQty", "Цена, руб.\nPrice, RUB", "Сумма, руб.\nAmount, RUB"};
    int x = 40, y = 222;
    const TextStyle head{8, kvfs::Bold, kWhite, kvta::Center};
    for (int c = 0; c < 6; ++c) {
        p.Cell(x, y, cols[c], 34, QString::fromUtf8(heads[c]), head, kNavy, kNavy);
        x += cols[c];
    }
    y += 34;
    qint64 total = 0;
    for (size_t i = 0; i < kProducts.size(); ++i) {
        const Product& pr = kProducts[i];
        const uint32_t fill = i % 2 ? kZebra : 0x1FFFFFFF;
        const qint64 amount = qint64(pr.Quantity) * pr.Price;
        total += amount;
        const QString cells[] = {
            QString::number(i + 1),
            QString::fromUtf8(pr.Russian) + QStringLiteral(" / ") + QString::fromUtf8(pr.English),
            QString::fromUtf8(pr.Unit),
            Grouped(pr.Quantity),
            Grouped(pr.Price) + QStringLiteral(",00"),
            Grouped(amount) + QStringLiteral(",00"),
        };
        const int32_t aligns[] = {kvta::Center, kvta::Left,  kvta::Center,
                                  kvta::Right,  kvta::Right, kvta::Right};
        x = 40;
        for (int c = 0; c < 6; ++c) {
            TkvMemoView& cell = p.Cell(x, y, cols[c], 22, cells[c], {8, 0, 0, aligns[c]}, fill);
            if (c == 1) cell.Font.Size = 7;
            x += cols[c];
        }
        y += 22;
    }
    const int labelWidth = w - cols[5];
    p.Cell(40, y, labelWidth, 26, QStringLiteral("Итого за квартал / Total for the quarter"),
           {9, kvfs::Bold, 0, kvta::Right}, Rgb(255, 242, 204), Rgb(64, 64, 64))
        .FrameStyle = kDouble;
    p.Cell(40 + labelWidth, y, cols[5], 26, Grouped(total) + QStringLiteral(",00"),
           {9, kvfs::Bold, 0, kvta::Right}, Rgb(255, 242, 204), Rgb(64, 64, 64))
        .FrameStyle = kDouble;
    y += 40;

    p.Text(40, y, w, 20, QStringLiteral("Комментарий / Commentary"), {11, kvfs::Bold, kNavy});
    y += 24;
    p.Text(
        40, y, w, 78,
        QStringLiteral("Выручка компании в III квартале составила %1 руб., что на 8,3 % выше показателя "
                       "предыдущего квартала. Основной рост обеспечили офисная бумага и расходные материалы "
                       "для печати: крупные корпоративные клиенты перешли на годовые договоры поставки. "
                       "Средний чек вырос на 5,1 %, доля возвратов снизилась до 0,7 %.")
            .arg(Grouped(total)),
        {9, 0, 0, kvta::Justify});
    y += 82;
    p.Text(40, y, w, 64,
           QStringLiteral(
               "Revenue for the third quarter reached RUB %1, 8.3% above the previous quarter. Growth "
               "came mainly from office paper and printing supplies, as large corporate customers "
               "moved to annual supply contracts. The average order grew by 5.1% and returns fell "
               "to 0.7% of sales.")
               .arg(Grouped(total).replace(QChar(0xA0), QLatin1Char(','))),
           {9, 0, 0, kvta::Justify});
    y += 74;

    // Three key figures, each with a coloured bar on its left side.
    const int card = (w - 2 * 12) / 3;
    const struct {
        const char* Caption;
        const char* Value;
        uint32_t Color;
    } cards[] = {
        {"Выручка / Revenue", "+8,3 %", kAccent},
        {"Новые клиенты / New customers", "46", Rgb(112, 173, 71)},
        {"Возвраты / Returns", "0,7 %", Rgb(237, 125, 49)},
    };
    for (int i = 0; i < 3; ++i) {
        const int cx = 40 + i * (card + 12);
        p.Box(cx, y, card, 56, Rgb(246, 246, 246), kSolid, cards[i].Color, 4, 4);
        p.Text(cx + 10, y + 6, card - 14, 16, QString::fromUtf8(cards[i].Caption), {8, 0, kGrey});
        p.Text(cx + 10, y + 22, card - 14, 30, QString::fromUtf8(cards[i].Value),
               {18, kvfs::Bold, cards[i].Color});
    }
    y += 72;
    p.Link(40, y, w, 18, QStringLiteral("» Продажи по регионам, стр. 2 / Sales by region, page 2"), "@2");
    p.Link(40, y + 18, w, 18, QStringLiteral("» Крупнейшие клиенты, стр. 4 / Top customers, page 4"), "@4");
    p.Footer(1);
}

void BuildRegionsPage(DemoPage& p, const QByteArray& logo, const QByteArray& chart, const QByteArray& seal) {
    p.Header(logo, true);
    const int w = p.Width() - 80;
    // A rotated note along the left edge of the paper.
    TkvMemoView& side =
        p.Text(12, 300, 18, 480, QStringLiteral("ДЛЯ СЛУЖЕБНОГО ПОЛЬЗОВАНИЯ · FOR INTERNAL USE"),
               {7, kvfs::Bold, kGrey, kvta::Vertical | kvta::Center | kvta::Middle});
    side.GapX = 0;
    p.Text(40, 78, w, 26, QStringLiteral("Продажи по регионам / Sales by region"), {14, kvfs::Bold, kNavy});

    TkvPictureView& pic = p.Picture(40, 112, 430, 258, kvgk::Metafile, chart);
    pic.FrameTyp = kFrameAll;
    pic.FrameColor = kRule;
    TkvMemoView& legend = p.Box(486, 112, w - 446, 258, 0x1FFFFFFF, kDot, kAccent);
    legend.Memo = {
        kv::EncodeText(QStringLiteral("Пояснения / Notes"), 204),
        "",
        kv::EncodeText(QStringLiteral("• Столбцы — выручка за квартал по региону, тыс. руб."), 204),
        kv::EncodeText(QStringLiteral("• Bars show quarterly revenue per region, RUB thousand."), 204),
        "",
        kv::EncodeText(QStringLiteral("• Линия — план продаж на квартал."), 204),
        kv::EncodeText(QStringLiteral("• The line is the sales plan for the quarter."), 204),
        "",
        kv::EncodeText(QStringLiteral("• Все регионы выполнили план; лучший рост — Центр (+9,4 %)."), 204),
        kv::EncodeText(QStringLiteral("• Every region met its plan; the Centre grew most (+9.4%)."), 204),
    };
    legend.Font.Charset = 204;
    legend.Font.Size = 8;
    legend.GapX = 8;
    legend.GapY = 6;

    // The monthly table, with its month headings turned upright.
    int y = 388;
    const int regionCol = 210, monthCol = (w - regionCol) / 4;
    const TextStyle head{8, kvfs::Bold, kWhite, kvta::Center};
    p.Cell(40, y, regionCol, 84, QStringLiteral("Регион\nRegion"), head, kNavy, kNavy);
    const char* months[] = {"Июль / July", "Август / August", "Сентябрь / Sept.", "Итого / Total"};
    for (int m = 0; m < 4; ++m) {
        TkvMemoView& c = p.Cell(40 + regionCol + m * monthCol, y, monthCol, 84, QString::fromUtf8(months[m]),
                                {8, kvfs::Bold, kWhite, kvta::Vertical | kvta::Center}, kAccent, kNavy);
        c.GapX = 2;
    }
    y += 84;
    std::array<int, 4> sums{};
    for (size_t i = 0; i < kRegions.size(); ++i) {
        const RegionSales& r = kRegions[i];
        const uint32_t fill = i % 2 ? kZebra : 0x1FFFFFFF;
        p.Cell(40, y, regionCol, 22,
               QString::fromUtf8(r.Russian) + QStringLiteral(" / ") + QString::fromUtf8(r.English), {8, 0, 0},
               fill);
        for (int m = 0; m < 4; ++m) {
            const int v = m < 3 ? r.Months[size_t(m)] : RegionTotal(r);
            sums[size_t(m)] += v;
            p.Cell(40 + regionCol + m * monthCol, y, monthCol, 22, Money(v),
                   {8, uint16_t(m == 3 ? kvfs::Bold : 0), 0, kvta::Right}, fill);
        }
        y += 22;
    }
    p.Cell(40, y, regionCol, 24, QStringLiteral("Всего / All regions"), {8, kvfs::Bold, 0},
           Rgb(255, 242, 204), Rgb(64, 64, 64))
        .FrameStyle = kDouble;
    for (int m = 0; m < 4; ++m)
        p.Cell(40 + regionCol + m * monthCol, y, monthCol, 24, Money(sums[size_t(m)]),
               {8, kvfs::Bold, 0, kvta::Right}, Rgb(255, 242, 204), Rgb(64, 64, 64))
            .FrameStyle = kDouble;
    y += 44;

    TkvMemoView& note = p.Box(40, y, w - 150, 96, Rgb(250, 250, 250), kDashDot, kGrey);
    note.Memo = {
        kv::EncodeText(QStringLiteral("Примечание. Данные за сентябрь предварительные и будут уточнены после "
                                      "закрытия периода. Суммы округлены до тысяч рублей."),
                       204),
        kv::EncodeText(QStringLiteral("Note. September figures are preliminary and will be revised once the "
                                      "period is closed. Amounts are rounded to thousands of roubles."),
                       204),
    };
    note.Font.Charset = 204;
    note.Font.Size = 8;
    note.Alignment = kvta::Justify;
    note.GapX = 8;
    note.GapY = 6;
    p.Picture(p.Width() - 40 - 120, y - 12, 120, 120, kvgk::Bitmap, seal);
    y += 120;
    p.Link(40, y, 300, 18, QStringLiteral("« К сводке, стр. 1 / Back to the summary"), "@1");
    p.Link(p.Width() - 40 - 360, y, 360, 18, QStringLiteral("Выводы, стр. 3 / Conclusions, page 3 »"), "@3",
           kvta::Right);
    p.Footer(2);
}

// Text for RTF in windows-1251 (\\'hh), with RTF's special characters escaped.
QByteArray Rtf(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += char(c.unicode());
        } else if (c.unicode() < 0x80) {
            out += char(c.unicode());
        } else {
            const QByteArray b = kv::EncodeText(QString(c), kvcs::Russian);
            if (b.size() == 1 && b != "?")
                out += "\\'" + b.toHex();
            else
                out += "\\u" + QByteArray::number(int(int16_t(c.unicode()))) + '?';
        }
    }
    return out;
}

// The recommendations as formatted text: a heading, a bulleted list with emphasis, a note.
QByteArray RecommendationsRtf() {
    QByteArray r = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}"
                   "{\\f1\\froman\\fcharset204 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}"
                   "{\\colortbl ;\\red31\\green56\\blue100;\\red192\\green0\\blue0;\\red255\\green242\\blue204;"
                   "\\red89\\green89\\blue89;}\\viewkind4\\uc1\r\n";
    r += "\\pard\\sa60\\f0\\fs22\\b\\cf1 " + Rtf(QStringLiteral("Рекомендации")) + "\\b0\\cf0  / " +
         "\\i Recommendations\\i0\\par\r\n";
    const QString items[][2] = {
        {QStringLiteral("Продлить годовые договоры с крупнейшими клиентами на прежних условиях"),
         QStringLiteral("renew the annual contracts of the largest customers on the same terms")},
        {QStringLiteral("Расширить ассортимент расходных материалов для печати"),
         QStringLiteral("widen the range of printing supplies")},
        {QStringLiteral("Открыть пункт выдачи заказов в Новосибирске"),
         QStringLiteral("open a pick-up point in Novosibirsk, where deliveries take longest")},
    };
    for (int i = 0; i < 3; ++i) {
        r += "{\\pntext\\f2\\'b7\\tab}\\pard\\fi-280\\li280\\sa40\\f0\\fs19 ";
        if (i == 2)
            r += Rtf(QStringLiteral("Открыть пункт выдачи заказов в ")) + "{\\b\\highlight3 " +
                 Rtf(QStringLiteral("Новосибирске")) + "}";
        else
            r += Rtf(items[i][0]);
        r += " \\emdash  {\\i\\cf4 " + Rtf(items[i][1]) + "}\\par\r\n";
    }
    r += "\\pard\\qr\\sb60\\f1\\fs18\\cf2\\ul " + Rtf(QStringLiteral("Срок: до конца 2026 года")) +
         "\\ulnone\\cf0  \\endash  {\\strike draft} {\\b final}\\par}";
    return r;
}

void BuildConclusionsPage(DemoPage& p, const QByteArray& logo, const QByteArray& seal,
                          const QByteArray& signature) {
    p.Header(logo, true);
    const int w = p.Width() - 80;
    p.Text(40, 78, w, 26, QStringLiteral("Выводы и рекомендации / Conclusions and recommendations"),
           {14, kvfs::Bold, kNavy});
    int y = 114;
    const QString paragraphs[] = {
        QStringLiteral(
            "Третий квартал подтвердил устойчивость спроса на офисные товары. Несмотря на сезонное "
            "снижение деловой активности в июле, уже в августе объём заказов превысил "
            "прошлогодний уровень, а в сентябре компания обновила исторический максимум месячной "
            "выручки. Запасы на складах поддерживались на уровне трёх недель продаж, что позволило "
            "выполнять 97 % заказов в течение одного рабочего дня."),
        QStringLiteral(
            "The third quarter confirmed steady demand for office supplies. Despite the usual "
            "summer slowdown in July, orders overtook last year's level in August, and September set "
            "a new record for monthly revenue. Stock was kept at three weeks of sales, so 97% of "
            "orders shipped within one working day."),
    };
    for (const QString& text : paragraphs) {
        p.Text(40, y, w, 76, text, {10, 0, 0, kvta::Justify});
        y += 84;
    }
    // The recommendations as a rich text object.
    p.Rich(40, y, w, 150, RecommendationsRtf(), Rgb(250, 250, 252), Rgb(191, 191, 210));
    y += 168;
    p.Text(40, y, w, 20, QStringLiteral("План действий / Action plan"), {11, kvfs::Bold, kNavy});
    y += 24;
    const char* steps[][3] = {
        {"1", "Продление годовых договоров / Renew annual contracts", "до 15.11.2026"},
        {"2", "Новые позиции расходных материалов / New printing supplies", "до 01.12.2026"},
        {"3", "Пункт выдачи в Новосибирске / Novosibirsk pick-up point", "I кв. 2027"},
    };
    for (auto& s : steps) {
        p.Cell(40, y, 28, 22, QString::fromUtf8(s[0]), {8, kvfs::Bold, kWhite, kvta::Center}, kAccent,
               kAccent);
        p.Cell(68, y, w - 28 - 130, 22, QString::fromUtf8(s[1]), {8, 0, 0});
        p.Cell(40 + w - 130, y, 130, 22, QString::fromUtf8(s[2]), {8, 0, 0, kvta::Center});
        y += 22;
    }
    y += 40;
    // Signatures: a line to sign on, the signature, and the seal over the first.
    const int signX = 300;
    const char* people[][2] = {
        {"Генеральный директор\nChief Executive Officer", "И. И. Петров / I. Petrov"},
        {"Главный бухгалтер\nChief Accountant", "О. С. Смирнова / O. Smirnova"},
    };
    for (int i = 0; i < 2; ++i) {
        p.Text(40, y, 250, 34, QString::fromUtf8(people[i][0]), {9, kvfs::Bold, 0});
        p.HLine(signX, y + 30, 180, 0, 1);
        p.Text(signX + 190, y + 14, 230, 18, QString::fromUtf8(people[i][1]), {9, 0, 0});
        if (i == 0) p.Picture(signX + 10, y - 22, 150, 50, kvgk::Bitmap, signature);
        y += 64;
    }
    p.Text(signX - 110, y + 50, 100, 16, QStringLiteral("М. П. / Seal"),
           {7, kvfs::Italic, kGrey, kvta::Right});
    p.Picture(signX, y, 110, 110, kvgk::Bitmap, seal);
    y += 130;
    p.Link(40, y, 300, 18, QStringLiteral("« К началу отчёта / Back to the start"), "@1");
    p.Link(p.Width() - 40 - 300, y, 300, 18, QStringLiteral("Приложение, стр. 4 / Appendix »"), "@4",
           kvta::Right);
    p.Footer(3);
}

void BuildAppendixPage(DemoPage& p, const QByteArray& logo) {
    p.Header(logo, true);
    const int w = p.Width() - 80;
    p.Text(40, 78, w, 26, QStringLiteral("Приложение 1. Крупнейшие клиенты / Appendix 1. Top customers"),
           {14, kvfs::Bold, kNavy});
    const int cols[] = {30, 300, 120, 170, 80, 140, 80};
    int used = 0;
    for (int c : cols)
        used += c;
    const int managerCol = w - used;
    const char* heads[] = {"№",
                           "Клиент / Customer",
                           "ИНН / Tax ID",
                           "Регион / Region",
                           "Заказы\nOrders",
                           "Сумма, руб.\nAmount, RUB",
                           "Доля\nShare"};
    int y = 114;
    int x = 40;
    const TextStyle head{8, kvfs::Bold, kWhite, kvta::Center};
    for (int c = 0; c < 7; ++c) {
        p.Cell(x, y, cols[c], 32, QString::fromUtf8(heads[c]), head, kNavy, kNavy);
        x += cols[c];
    }
    p.Cell(x, y, managerCol, 32, QStringLiteral("Менеджер\nManager"), head, kNavy, kNavy);
    y += 32;
    const struct {
        const char* Name;
        const char* TaxId;
        int Region;
        int Orders;
        int Amount; // thousands
        const char* Manager;
    } customers[] = {
        {"АО «Балтийский порт» / Baltic Port JSC", "7805012345", 0, 48, 1240, "Иванова А."},
        {"ПАО «Центральный банк развития»", "7704123456", 1, 36, 1105, "Козлов Д."},
        {"ООО «Волжские типографии»", "6315098765", 2, 52, 690, "Орлова Е."},
        {"Ural Steel Engineering LLC", "6670543210", 3, 21, 512, "Козлов Д."},
        {"ГБУ «Сибирский медицинский центр»", "5406112233", 4, 33, 398, "Никитин С."},
        {"ООО «Невская логистика»", "7810556677", 0, 40, 377, "Иванова А."},
        {"Moscow Business School", "7701998877", 1, 18, 341, "Орлова Е."},
        {"АО «Приморский рыбокомбинат»", "2536445566", 5, 15, 220, "Никитин С."},
        {"ООО «Казанский офис»", "1655778899", 2, 27, 204, "Орлова Е."},
        {"ИП Соколов В. П.", "366200112233", 1, 31, 187, "Козлов Д."},
    };
    int quarter = 0;
    for (const RegionSales& r : kRegions)
        quarter += RegionTotal(r);
    int i = 0;
    for (const auto& c : customers) {
        const uint32_t fill = i % 2 ? kZebra : 0x1FFFFFFF;
        const QString cells[] = {
            QString::number(i + 1),
            QString::fromUtf8(c.Name),
            QString::fromUtf8(c.TaxId),
            QString::fromUtf8(kRegions[size_t(c.Region)].Russian) + QStringLiteral(" / ") +
                QString::fromUtf8(kRegions[size_t(c.Region)].English),
            QString::number(c.Orders),
            Money(c.Amount),
            QString::number(100.0 * c.Amount / quarter, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')) +
                QStringLiteral(" %"),
        };
        const int32_t aligns[] = {kvta::Center, kvta::Left,  kvta::Center, kvta::Left,
                                  kvta::Right,  kvta::Right, kvta::Right};
        x = 40;
        for (int k = 0; k < 7; ++k) {
            p.Cell(x, y, cols[k], 22, cells[k], {8, 0, 0, aligns[k]}, fill);
            x += cols[k];
        }
        p.Cell(x, y, managerCol, 22, QString::fromUtf8(c.Manager), {8, 0, 0}, fill);
        y += 22;
        ++i;
    }
    y += 16;
    p.Text(40, y, w, 40,
           QStringLiteral(
               "Десять крупнейших клиентов обеспечили около 28 % квартальной выручки. The ten largest "
               "customers brought in about 28% of the quarter's revenue; no single customer exceeds 10%."),
           {8, kvfs::Italic, kGrey, kvta::Justify});
    p.Link(40, y + 50, 300, 18, QStringLiteral("« К сводке, стр. 1 / Back to the summary"), "@1");
    p.Footer(4);
}

} // namespace

void BuildDemoReport(TkvReport& report) {
    TkvEMFPages& store = report.EMFPages;
    store.Clear();
    const QByteArray logo = LogoJpeg();
    const QByteArray seal = SealBitmap();
    const QByteArray signature = SignatureBitmap();
    const QByteArray chart = ChartMetafile();
    for (int n = 1; n <= kPageCount; ++n) {
        DemoPage page(n == 4);
        switch (n) {
        case 1:
            BuildSummaryPage(page, logo);
            break;
        case 2:
            BuildRegionsPage(page, logo, chart, seal);
            break;
        case 3:
            BuildConclusionsPage(page, logo, seal, signature);
            break;
        default:
            BuildAppendixPage(page, logo);
            break;
        }
        // The pages store writes the views exactly as a built report's pages are written.
        const int index = store.Count();
        store.InsertPage(index, page.Page());
        PreparedPageInfo& info = store.PageInfo(index);
        info.Page = page.Take();
        store.PackPage(index);
        store.ReleasePage(index);
    }
}

QByteArray MakeDemo(const QString& out) {
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    try {
        TkvReport report;
        BuildDemoReport(report);
        report.SavePreparedFile(out);
    } catch (const std::exception& e) {
        return out.toUtf8() + ": " + QByteArray(e.what()).replace('\n', ' ');
    }
    return {};
}

} // namespace kvdemo
