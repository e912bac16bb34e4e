#include "core/library_tables.h"

#include "base/constants_list.h"
#include "core/locale.h"
#include "base/variables.h"

#include <array>
#include <memory>
#include <optional>

namespace kv {

namespace {

struct TextTables {
    std::array<QByteArray, kBandTypeCount> BandNames;
    std::array<QByteArray, 4> BooleanFormats, DateFormats, TimeFormats;
    int DefaultCharset = 1;
};

std::optional<TextTables>& Tables() {
    static std::optional<TextTables> tables;
    return tables;
}

const TextTables& EnsureTables() {
    if (!Tables()) FillLibraryTables();
    return *Tables();
}

struct Bitmaps {
    QImage BandBrush;
    QImage Scratch;
};

std::optional<Bitmaps>& BitmapStore() {
    static std::optional<Bitmaps> store;
    return store;
}

Bitmaps& EnsureBitmaps() {
    if (!BitmapStore()) CreateLibraryBitmaps();
    return *BitmapStore();
}

struct NamedValues {
    std::unique_ptr<TkvVariables> Variables;
    std::unique_ptr<TkvVariables> Constants;
};

NamedValues& NamedValueStore() {
    static NamedValues store;
    return store;
}

template <size_t N> QByteArray At(const std::array<QByteArray, N>& table, int i) {
    return i >= 0 && i < static_cast<int>(N) ? table[static_cast<size_t>(i)] : QByteArray();
}

} // namespace

void FillLibraryTables() {
    TextTables t;
    for (int i = 0; i < kBandTypeCount; ++i)
        t.BandNames[static_cast<size_t>(i)] = LoadLibraryText(55077 + i);
    for (int i = 0; i < 4; ++i) {
        t.BooleanFormats[static_cast<size_t>(i)] = LoadLibraryText(55170 + i);
        t.DateFormats[static_cast<size_t>(i)] = LoadLibraryText(55175 + i);
        t.TimeFormats[static_cast<size_t>(i)] = LoadLibraryText(55179 + i);
    }
    bool ok = false;
    const int charset = LoadLibraryText(55337).trimmed().toInt(&ok);
    t.DefaultCharset = ok && charset >= 0 && charset <= 255 ? charset : 1;
    Tables() = std::move(t);
}

void ReleaseLibraryTables() {
    Tables().reset();
}

QByteArray BandTypeName(int bandType) {
    return At(EnsureTables().BandNames, bandType);
}
QByteArray BooleanFormat(int index) {
    return At(EnsureTables().BooleanFormats, index);
}
QByteArray DateFormat(int index) {
    return At(EnsureTables().DateFormats, index);
}
QByteArray TimeFormat(int index) {
    return At(EnsureTables().TimeFormats, index);
}
int DefaultFontCharset() {
    return EnsureTables().DefaultCharset;
}

void CreateLibraryBitmaps() {
    Bitmaps b;
    b.BandBrush = QImage(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b.BandBrush.setPixel(x, y, (x + y) % 2 == 0 ? qRgb(255, 255, 255) : qRgb(192, 192, 192));
    b.Scratch = QImage(8, 8, QImage::Format_RGB32);
    b.Scratch.fill(Qt::white);
    BitmapStore() = std::move(b);
}

void ReleaseLibraryBitmaps() {
    BitmapStore().reset();
}

const QImage& BandBrushBitmap() {
    return EnsureBitmaps().BandBrush;
}
QImage& ScratchBitmap() {
    return EnsureBitmaps().Scratch;
}

TkvStringList& ScratchStrings() {
    static TkvStringList list;
    return list;
}

void CreateNamedValueLists() {
    NamedValues& s = NamedValueStore();
    s.Variables = std::make_unique<TkvVariables>(true);
    s.Constants = std::make_unique<TkvVariables>(true);
    FillConstantsList(*s.Constants);
}

void ReleaseNamedValueLists() {
    NamedValueStore().Variables.reset();
    NamedValueStore().Constants.reset();
}

TkvVariables& LibraryVariables() {
    if (!NamedValueStore().Variables) CreateNamedValueLists();
    return *NamedValueStore().Variables;
}

const TkvVariables& ConstantsList() {
    if (!NamedValueStore().Constants) CreateNamedValueLists();
    return *NamedValueStore().Constants;
}

} // namespace kv
