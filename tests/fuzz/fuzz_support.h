#pragma once
// Shared set-up of the reader fuzz targets. Text measuring and picture decoding need a GUI
// application; the targets get one on the offscreen platform, made once and kept for the process,
// with Qt's diagnostics about damaged input silenced (they would only slow the run down).

#include <QByteArrayView>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

namespace kvfuzz {

inline void IgnoreQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) qFatal("%s", qPrintable(message));
}

inline void StartGui() {
    static int argc = 1;
    static char name[] = "kv-fuzz";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(IgnoreQtMessages);
    static QGuiApplication app(argc, argv);
}

inline QByteArrayView Bytes(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace kvfuzz
