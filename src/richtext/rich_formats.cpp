#include "richtext/rich_formats.h"

#include "base/codepage.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextDocument>
#include <QTextOption>

namespace kvrich {

namespace {

// The layout device: its resolution is all that is used. Made once, never changed.
QPaintDevice* TwipsDevice() {
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kTwipsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return &device;
}

} // namespace

void PrepareDocument(QTextDocument& document) {
    document.setUndoRedoEnabled(false);
    document.documentLayout()->setPaintDevice(TwipsDevice());
    document.setDocumentMargin(0);
    document.setUseDesignMetrics(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    font.setKerning(false);
    document.setDefaultFont(font);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(720 / kScaled); // half an inch
    document.setDefaultTextOption(option);
}

QTextCharFormat DefaultCharFormat() {
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial")});
    f.setFontPointSize(10);
    f.setProperty(CharsetProperty, kvcs::Default);
    return f;
}

} // namespace kvrich
