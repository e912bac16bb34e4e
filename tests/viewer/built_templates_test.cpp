// kvviewer TEMPLATE.kvf: the example price list built over its database with the command line's
// options, and the failures that are shown instead of a report.
#include "viewer/built_templates.h"

#include "core/report/report.h"
#include "tools/example_templates.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(BuiltTemplates, BuildsTheTemplateWithTheCommandLineOptionsOrSaysWhy) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const QString kvf = dir.filePath("price_list.kvf");
    EXPECT_TRUE(TkvBuiltTemplates::IsTemplate(kvf));
    EXPECT_TRUE(TkvBuiltTemplates::IsTemplate("A.KVF"));
    EXPECT_FALSE(TkvBuiltTemplates::IsTemplate("a.kvp"));

    TkvTemplateBuildOptions options;
    const QStringList args = {"--db", "sqlite:" + dir.filePath("shop.sqlite"), "--data",
                              QString::fromUtf8(kvdemo::kPriceListData), "--var", "Shop=Corner"};
    for (int i = 0; i < args.size(); ++i) {
        QByteArray error;
        ASSERT_TRUE(options.TakeOption(args, i, error)) << i;
    }
    ASSERT_EQ(options.Variables.size(), 1);
    EXPECT_EQ(options.Variables[0].second.toText(), "Corner");

    TkvBuiltTemplates built;
    QByteArray error;
    const QString first = built.Build(kvf, options, error);
    ASSERT_FALSE(first.isEmpty()) << error.constData();
    const QString second = built.Build(kvf, options, error);
    EXPECT_NE(first, second); // each build keeps its own pages
    TkvReport report;
    report.LoadPreparedFile(first);
    EXPECT_EQ(report.EMFPages.Count(), 1);

    struct Case {
        const char* what;
        QString file;
        bool withData;
        const char* error;
    } cases[] = {
        {"no data set", kvf, false, "price_list.kvf: "},
        {"no template", dir.filePath("none.kvf"), true, "none.kvf: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray why;
        EXPECT_TRUE(built.Build(c.file, c.withData ? options : TkvTemplateBuildOptions{}, why).isEmpty());
        EXPECT_TRUE(why.contains(c.error)) << why.constData();
        EXPECT_FALSE(why.contains('\n'));
    }

    QByteArray bad;
    int i = 0;
    EXPECT_FALSE(options.TakeOption({"--var", "novalue"}, i, bad));
    EXPECT_EQ(bad, "--var wants NAME=VALUE, not novalue");
    i = 0;
    bad.clear();
    EXPECT_FALSE(options.TakeOption({"--page", "2"}, i, bad));
    EXPECT_TRUE(bad.isEmpty());
}

} // namespace
