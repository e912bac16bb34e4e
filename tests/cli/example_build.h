#pragma once
// Builds one of the generated examples as README.md says: examples/NAME.kvf over the generated
// shop database with the given --data sets, to .kvp (for the page count) and .txt (for the text).
#include "cli/build_command.h"
#include "cli/prepared_info.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct BuiltExample {
    int Pages = 0;
    QByteArray Text;
};

inline BuiltExample BuildExample(const QTemporaryDir& dir, const char* name, const QStringList& data) {
    BuiltExample b;
    QStringList common{"--db", "sqlite:" + dir.filePath("shop.sqlite")};
    for (const QString& d : data)
        common << "--data" << d;
    for (const char* ext : {"kvp", "txt"}) {
        const QString out = dir.filePath(QString(name) + "." + ext);
        const kvcli::CommandResult r =
            kvcli::BuildFromArguments(QStringList{dir.filePath(QString(name) + ".kvf"), "-o", out} + common);
        EXPECT_EQ(r.ExitCode, 0) << r.Error.constData();
    }
    const kvcli::CommandResult info = kvcli::Info(dir.filePath(QString(name) + ".kvp"), false);
    const qsizetype at = info.Out.indexOf("Pages: ");
    if (at >= 0) b.Pages = info.Out.mid(at + 7, info.Out.indexOf('\n', at) - at - 7).toInt();
    QFile txt(dir.filePath(QString(name) + ".txt"));
    if (txt.open(QIODevice::ReadOnly)) b.Text = txt.readAll();
    return b;
}
