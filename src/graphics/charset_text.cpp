#include "graphics/charset_text.h"

#include <QStringDecoder>

namespace kv {

namespace {
int gAnsiCodePage = 1252;

QByteArray WindowsCodePage(int cp) {
    switch (cp) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 874:
        return "windows-874";
    default:
        return "windows-" + QByteArray::number(cp);
    }
}
} // namespace

void SetDefaultAnsiCodePage(int codePage) {
    gAnsiCodePage = codePage;
}
int DefaultAnsiCodePage() {
    return gAnsiCodePage;
}

QByteArray CodePageForCharset(int charset) {
    switch (charset) {
    case 0:
        return "windows-1252";
    case 1:
        return WindowsCodePage(gAnsiCodePage);
    case 2:
        return {};
    case 77:
        return "macintosh";
    case 128:
        return "Shift_JIS";
    case 129:
        return "windows-949";
    case 134:
        return "GBK";
    case 136:
        return "Big5";
    case 161:
        return "windows-1253";
    case 162:
        return "windows-1254";
    case 163:
        return "windows-1258";
    case 177:
        return "windows-1255";
    case 178:
        return "windows-1256";
    case 186:
        return "windows-1257";
    case 204:
        return "windows-1251";
    case 222:
        return "windows-874";
    case 238:
        return "windows-1250";
    case 255:
        return gAnsiCodePage == 1251 ? "IBM866" : "IBM437";
    default:
        return WindowsCodePage(gAnsiCodePage);
    }
}

QString DecodeCharsetText(QByteArrayView bytes, int charset) {
    const QByteArray name = CodePageForCharset(charset);
    if (!name.isEmpty()) {
        QStringDecoder decoder(name.constData());
        if (decoder.isValid()) return decoder.decode(bytes);
    }
    return QString::fromLatin1(bytes);
}

} // namespace kv

namespace kv {

QString DecodeCharsetTextWithAdvances(QByteArrayView bytes, int charset, const QVector<double>& perByte,
                                      QVector<double>* perChar) {
    perChar->clear();
    const QByteArray name = CodePageForCharset(charset);
    QStringDecoder decoder(name.isEmpty() ? "ISO-8859-1" : name.constData());
    if (!decoder.isValid() || perByte.size() != bytes.size()) {
        const QString text = DecodeCharsetText(bytes, charset);
        if (perByte.size() == text.size()) *perChar = perByte;
        return text;
    }
    QString text;
    double pending = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        pending += perByte[i];
        const QString piece = decoder.decode(bytes.sliced(i, 1));
        if (piece.isEmpty()) continue;
        text += piece;
        perChar->append(pending);
        for (qsizetype k = 1; k < piece.size(); ++k)
            perChar->append(0);
        pending = 0;
    }
    if (!perChar->isEmpty()) perChar->last() += pending;
    return text;
}

} // namespace kv
