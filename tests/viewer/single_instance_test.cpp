// One running copy per user: a second start hands its file over and ends; a stale socket left by a
// crashed copy is replaced. The second copy is the real kvviewer program.
#include "core/startup.h"
#include "support/kvp_builder.h"
#include "tools/example_templates.h"
#include "viewer/main_window.h"
#include "viewer/single_instance.h"
#include "viewer/template_request.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        kv::StartUp();
        socket_ = "kvviewer-test-" + QUuid::createUuid().toString(QUuid::Id128);
        qputenv("KV_VIEWER_SOCKET", socket_.toUtf8());
    }
    void TearDown() override {
        QLocalServer::removeServer(socket_);
        qunsetenv("KV_VIEWER_SOCKET");
    }

    // Runs the real program as a second copy while this process serves the socket; returns its
    // exit code, or -1 when it did not end in time.
    static int RunSecondCopy(const QStringList& args, qint64* elapsedMs) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        p.start(KV_VIEWER_EXE, args);
        QEventLoop loop;
        QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (p.state() != QProcess::NotRunning) loop.exec();
        *elapsedMs = timer.elapsed();
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QString socket_;
};

TEST_F(SingleInstance, SecondStartHandsItsFileToTheRunningCopy) {
    QTemporaryDir dir;
    TfrmMain window;
    QStringList received;
    TkvSingleInstance instance;
    ASSERT_TRUE(instance.Listen([&](const QString& name) {
        received << name;
        window.OpenPendingFile(name);
    }));
    // Files the running copy can open.
    for (const char* name : {"first.kvp", "second.kvp"}) {
        kvpfile::FileSpec f;
        f.Pages.resize(1);
        QFile out(dir.filePath(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kvpfile::BuildKvp(f));
    }
    window.OpenPendingFile(dir.filePath("first.kvp"));

    // A relative name is made absolute by the second copy before it is handed over.
    QDir::setCurrent(dir.path());
    qint64 ms = 0;
    EXPECT_EQ(RunSecondCopy({"second.kvp"}, &ms), 0);
    EXPECT_LT(ms, 15000);
    EXPECT_EQ(received, QStringList{QFileInfo(dir.filePath("second.kvp")).absoluteFilePath()});
    EXPECT_EQ(window.MdiArea()->subWindowList().size(), 2);

    // Without arguments the running copy is only activated.
    EXPECT_EQ(RunSecondCopy({}, &ms), 0);
    EXPECT_EQ(received.size(), 2);
    EXPECT_EQ(received.last(), QString());
    EXPECT_EQ(window.MdiArea()->subWindowList().size(), 2);
}

// A template started while a viewer runs is built and shown by that viewer, with the options of the
// command line and its relative names made absolute.
TEST_F(SingleInstance, TemplateStartedLaterOpensInTheRunningCopy) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    QStandardPaths::setTestModeEnabled(true);
    TfrmMain window;
    QStringList received;
    TkvSingleInstance instance;
    ASSERT_TRUE(instance.Listen([&](const QString& name) {
        received << name;
        window.OpenPendingFile(name);
    }));
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    qint64 ms = 0;
    EXPECT_EQ(RunSecondCopy({"price_list.kvf", "--db", "sqlite:shop.sqlite", "--data",
                             QString::fromUtf8(kvdemo::kPriceListData)},
                            &ms),
              0);
    QDir::setCurrent(old);
    ASSERT_EQ(received.size(), 1);
    TkvTemplateRequest request;
    ASSERT_TRUE(TkvTemplateRequest::Decode(received[0], request)) << received[0].toStdString();
    EXPECT_EQ(request.TemplateFile, QFileInfo(dir.filePath("price_list.kvf")).absoluteFilePath());
    EXPECT_EQ(request.Options.value(1),
              "sqlite:" + QFileInfo(dir.filePath("shop.sqlite")).absoluteFilePath());
    EXPECT_EQ(window.LastErrorBox(), nullptr);
    ASSERT_EQ(window.MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(window.MdiArea()->subWindowList()[0]->windowTitle(), request.Caption());
}

TEST_F(SingleInstance, StaleSocketIsReplaced) {
    // A socket file nobody listens on, as a crashed copy leaves it.
    const QString path = QDir(QDir::tempPath()).filePath(socket_);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = path.toLocal8Bit();
    ASSERT_LT(size_t(p.size()), sizeof(addr.sun_path));
    memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));

    EXPECT_FALSE(TkvSingleInstance::HandOver("/tmp/x.kvp", 2000));
    TkvSingleInstance instance;
    QStringList received;
    EXPECT_TRUE(instance.Listen([&](const QString& name) { received << name; }));
    qint64 ms = 0;
    EXPECT_EQ(RunSecondCopy({"/tmp/y.kvp"}, &ms), 0);
    EXPECT_EQ(received, QStringList{"/tmp/y.kvp"});
}

TEST_F(SingleInstance, TwoRealCopies) {
    QTemporaryDir dir;
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    first.setProcessEnvironment(env);
    first.start(KV_VIEWER_EXE, {dir.filePath("a.kvp")});
    ASSERT_TRUE(first.waitForStarted());
    // Wait until the first copy serves its socket.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QLocalSocket probe;
            probe.connectToServer(socket_);
            return probe.waitForConnected(200);
        },
        15000));
    qint64 ms = 0;
    EXPECT_EQ(RunSecondCopy({dir.filePath("b.kvp")}, &ms), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    if (!first.waitForFinished(5000)) first.kill();
}

} // namespace

namespace {

TEST(SingleInstanceSocket, LiesInTheUsersRuntimeFolder) {
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("KV_VIEWER_SOCKET");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(TkvSingleInstance::SocketName(), runtime.filePath("kvviewer.socket"));
    EXPECT_FALSE(TkvSingleInstance::SocketName().startsWith("/tmp/kvviewer-"));
    if (old.isEmpty()) qunsetenv("XDG_RUNTIME_DIR");
    else qputenv("XDG_RUNTIME_DIR", old);
}

TEST(SingleInstanceSocket, LiveCopysSocketIsNeverTakenOver) {
    const QString name = "kvviewer-test-" + QUuid::createUuid().toString(QUuid::Id128);
    qputenv("KV_VIEWER_SOCKET", name.toUtf8());
    TkvSingleInstance first, second;
    ASSERT_TRUE(first.Listen([](const QString&) {}));
    EXPECT_FALSE(second.Listen([](const QString&) {})) << "the name belongs to a live copy";
    EXPECT_TRUE(QFileInfo::exists(TkvSingleInstance::SocketName()));
    qunsetenv("KV_VIEWER_SOCKET");
}

TEST_F(SingleInstance, SimultaneousStartsElectOneCopy) {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 3; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(KV_VIEWER_EXE, {dir.filePath(QStringLiteral("f%1.kvp").arg(i))});
        starts.push_back(std::move(p));
    }
    // Two of them hand over and end; one stays.
    auto running = [&] {
        int n = 0;
        for (auto& p : starts) n += p->state() != QProcess::NotRunning;
        return n;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return running() <= 1; }, 30000));
    // ... and the one that serves does not end.
    EXPECT_FALSE(QTest::qWaitFor([&] { return running() == 0; }, 500));
    EXPECT_EQ(running(), 1);
    for (auto& p : starts) {
        if (p->state() == QProcess::NotRunning) {
            EXPECT_EQ(p->exitCode(), 0);
        } else {
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
        }
    }
}

} // namespace
