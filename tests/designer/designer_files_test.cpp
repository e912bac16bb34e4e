// The designer's files: a template opened and saved without edits loads back equal, and a list
// report made from an empty report with the mouse and keyboard (a master band, two text objects
// with field expressions, a SUM in a summary band) is saved and built by kvtool over the shop
// database, showing every row and the total.
#include "designer_fixture.h"

#include "core/locale.h"
#include "core/library_tables.h"
#include "core/template/template_stream.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolBar>

using namespace designer_test;

namespace {

class DesignerFilesTest : public DesignerFixture {};

// The template without its change time (the one thing a save changes).
QByteArray TemplateBytes(TkvReport& report) {
    report.DocLastChange = QDateTime();
    TkvMemoryStream m;
    kv::SaveTemplate(report, m, false);
    return m.Data();
}

TEST_F(DesignerFilesTest, OpenedAndSavedWithoutEditsLoadsBackEqual) {
    QTemporaryDir dir;
    for (const char* name : {"price_list.kvf", "invoice.kvf", "labels.kvf", "sales_by_month.kvf"}) {
        const QString source = QString(KV_SOURCE_DIR) + "/examples/" + name;
        ASSERT_TRUE(form_->OpenFile(source)) << name;
        EXPECT_FALSE(form_->IsModified());
        EXPECT_EQ(form_->PageTabs()->count(), report_.PageCount());
        const QString copy = dir.filePath(name);
        ASSERT_TRUE(form_->SaveFile(copy)) << name;
        TkvReport original, saved;
        ASSERT_TRUE(original.LoadFromFile(source));
        ASSERT_TRUE(saved.LoadFromFile(copy));
        const QByteArray a = TemplateBytes(saved), b = TemplateBytes(original);
        qsizetype at = 0;
        while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
        EXPECT_EQ(a, b) << name << ": first difference at " << at << " of " << a.size() << "/" << b.size() << ": "
                        << a.mid(at - 16, 48).toHex().toStdString() << " / " << b.mid(at - 16, 48).toHex().toStdString();
    }
    // A file that is no template is refused with a message; the window keeps a page to show.
    QFile junk(dir.filePath("junk.kvf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a template");
    junk.close();
    QString message;
    AnswerNextDialog([&message](QWidget* w) {
        message = w->property("text").toString();
        w->close();
    });
    EXPECT_FALSE(form_->OpenFile(junk.fileName()));
    EXPECT_TRUE(message.contains("junk.kvf")) << message.toStdString();
    EXPECT_GE(report_.PageCount(), 1);
    EXPECT_TRUE(form_->Page());
}

// Answers the dialogs that open one after another, in order.
void AnswerDialogs(std::vector<std::function<void(QWidget*)>> answers) {
    if (answers.empty()) return;
    auto first = answers.front();
    answers.erase(answers.begin());
    AnswerNextDialog([first, answers](QWidget* w) {
        AnswerDialogs(answers);
        first(w);
    });
}

void Ok(QWidget* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttons");
    ASSERT_TRUE(buttons);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

std::function<void(QWidget*)> ChooseBand(int type) {
    return [type](QWidget* w) {
        auto* list = w->findChild<QListWidget*>("bandTypes");
        ASSERT_TRUE(list);
        const auto items = list->findItems(QString::fromUtf8(kv::BandTypeName(type)), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items.front());
        Ok(w);
    };
}

std::function<void(QWidget*)> TypeLine(const QString& text) {
    return [text](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>("line");
        ASSERT_TRUE(edit);
        QTest::keyClicks(edit, text);
        Ok(w);
    };
}

std::function<void(QWidget*)> TypeLines(const QString& text) {
    return [text](QWidget* w) {
        auto* edit = w->findChild<QPlainTextEdit*>("lines");
        ASSERT_TRUE(edit);
        QTest::keyClicks(edit, text);
        Ok(w);
    };
}

TEST_F(DesignerFilesTest, ListReportMadeWithTheMouseBuildsEveryRowAndTheTotal) {
    form_->Options().EditAfterInsert = true;
    form_->Options().GridAlign = true;
    form_->Options().GridSize = 4;
    form_->AskBandType = nullptr; // the real band type dialog
    QTemporaryDir dir;
    const QString file = dir.filePath("list.kvf");
    form_->AskFileName = [file](bool) { return file; };
    auto tool = [this](const char* action) {
        auto* bar = form_->findChild<QToolBar*>("objectsBar");
        ASSERT_TRUE(bar);
        QTest::mouseClick(bar->widgetForAction(form_->Action(action)), Qt::LeftButton);
    };

    tool("acInsertBand");
    AnswerDialogs({ChooseBand(kvbt::MasterData), TypeLine("Items")});
    Drag({10, 100}, {700, 124});
    tool("acInsertText");
    AnswerDialogs({TypeLines("[Items.Name]")});
    Drag({20, 104}, {320, 120});
    tool("acInsertText");
    AnswerDialogs({TypeLines("[Items.Price]")});
    Drag({340, 104}, {460, 120});
    tool("acInsertBand");
    AnswerDialogs({ChooseBand(kvbt::Summary), Ok});
    Drag({10, 200}, {700, 224});
    tool("acInsertText");
    AnswerDialogs({TypeLines("Total: [FORMATFLOAT('0.00', SUM(Items.Price))]")});
    Drag({200, 204}, {560, 220});
    ASSERT_EQ(Page()->ObjectCount(), 5);
    EXPECT_TRUE(form_->IsModified());
    Key(Qt::Key_S, Qt::ControlModifier);
    if (form_->IsModified()) form_->Action("acSave")->trigger(); // the shortcut needs an active window
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_FALSE(form_->IsModified());

    // What the database holds.
    QStringList names;
    double total = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "designer-e2e");
        db.setDatabaseName(QString(KV_SOURCE_DIR) + "/examples/shop.sqlite");
        ASSERT_TRUE(db.open());
        QSqlQuery q("select name, price from products order by id", db);
        while (q.next()) names << q.value(0).toString(), total += q.value(1).toDouble();
    }
    QSqlDatabase::removeDatabase("designer-e2e");
    ASSERT_GT(names.size(), 3);

    QProcess kvtool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KV_FORMAT_SETTINGS", "decimal=.;thousands=");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("QT_SCALE_FACTOR");
    kvtool.setProcessEnvironment(env);
    const QString out = dir.filePath("list.txt");
    kvtool.start(KV_KVTOOL, {"build", file, "-o", out, "--db", QString("sqlite:") + KV_SOURCE_DIR + "/examples/shop.sqlite",
                             "--data", "Items=select name as Name, price as Price from products order by id"});
    ASSERT_TRUE(kvtool.waitForFinished(120000));
    ASSERT_EQ(kvtool.exitCode(), 0) << kvtool.readAllStandardError().toStdString();
    QFile text(out);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString built = QString::fromUtf8(text.readAll());
    for (const QString& name : names) EXPECT_TRUE(built.contains(name)) << name.toStdString();
    const QString expectedTotal = "Total: " + QString::number(total, 'f', 2);
    EXPECT_TRUE(built.contains(expectedTotal)) << expectedTotal.toStdString() << "\n" << built.toStdString();
}

} // namespace
