#include "graphics/charset_text.h"

#include "base/codepage.h"

#include <QStringDecoder>

namespace kv {

// The code page tables live with the canvas so that metafile text and report text agree on what
// every character set (and the default one) means.
QByteArray CodePageForCharset(int charset) { return charset == kvcs::Symbol ? QByteArray() : CodecNameForCharset(charset); }

QString DecodeCharsetText(QByteArrayView bytes, int charset) { return DecodeText(bytes.toByteArray(), charset); }

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
