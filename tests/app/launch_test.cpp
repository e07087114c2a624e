// Launches of the built program, with its arguments as a shell passes them (bytes)
// and its real socket: what a second launch hands over, to an instance served here
// by the same socket class and open routine the program runs, and how a launch
// treats a running instance that is busy or held up by idle connections.
#include "app/app.h"
#include "app/handovermessage.h"
#include "app/singleinstance.h"
#include "app/startup.h"
#include "framework/files/wholefile.h"
#include "helpers.h"
#include "window/mw.h"
#include "window/usermessage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace single_instance;

namespace {

struct Ran { int status = -1; QByteArray err; };  // -1: still running at the limit, and killed

// Removes the file of that native name when it goes, also when the test fails:
// the temporary folder's own removal goes by names as text and leaves a name that
// is not UTF-8, and the folder with it.
struct RemovedAtEnd {
    QByteArray path;
    ~RemovedAtEnd() { ::unlink(path.constData()); }
};

ino_t Inode(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(run.isValid() && files.isValid());
        MW::DestroyInstance();
        NewAppInstance();
    }
    void TearDown() override { MW::DestroyInstance(); }

    QString SocketPath() const { return run.filePath(QStringLiteral("quorvanel.socket")); }
    static QByteArray Folder(const QTemporaryDir& dir) { return QFile::encodeName(dir.path()); }

    // A running instance in this process, which opens what it is given in the
    // window as the program does.
    void Serve()
    {
        server = std::make_unique<DocumentServer>([this](const DocumentPaths& paths, const handover::Feedback&) {
            delivered << paths;
            OpenHandedOverDocuments(paths);
        });
        ASSERT_TRUE(server->Listen(SocketPath()));
    }

    // Starts the program in the files' folder, its output going to errPath.
    pid_t Start(QList<QByteArray> args, const QByteArray& errPath)
    {
        args.prepend(QUORVANEL_PROGRAM);
        std::vector<char*> argv;
        for (QByteArray& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        qputenv("XDG_RUNTIME_DIR", Folder(run));
        const QByteArray cwd = Folder(files);
        const int out = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
            if (::chdir(cwd.constData()) == 0)
                ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out);
        return pid;
    }

    static QByteArray ReadAll(const QByteArray& path)
    {
        QFile file(QFile::decodeName(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QByteArray ErrPath(qsizetype i) const { return Folder(run) + "/stderr" + QByteArray::number(i); }

    // Starts the launches at once and waits until each has ended, killing one that
    // runs past limitMs or once stop says so of its output; serves this thread's
    // events meanwhile unless told not to (as if the instance here were stopped),
    // and runs meanwhile between them.
    QList<Ran> RunTogether(const QList<QList<QByteArray>>& launches, bool serveEvents = true,
                           const std::function<void()>& meanwhile = {},
                           const std::function<bool(const QByteArray& err)>& stop = {}, int limitMs = 30000)
    {
        QList<pid_t> pids;
        for (qsizetype i = 0; i < launches.size(); ++i)
            pids << Start(launches[i], ErrPath(i));
        QList<Ran> ran(launches.size());
        QElapsedTimer clock;
        clock.start();
        for (qsizetype left = pids.size(); left > 0; QThread::msleep(2)) {
            if (serveEvents)
                QCoreApplication::processEvents();
            if (meanwhile)
                meanwhile();
            for (qsizetype i = 0; i < pids.size(); ++i) {
                int status = 0;
                if (pids[i] <= 0)
                    continue;
                if (::waitpid(pids[i], &status, WNOHANG) == pids[i]) {
                    ran[i].status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                } else if (clock.elapsed() > limitMs || (stop && stop(ReadAll(ErrPath(i))))) {
                    ::kill(pids[i], SIGKILL);
                    ::waitpid(pids[i], &status, 0);
                } else {
                    continue;
                }
                pids[i] = 0;
                --left;
                ran[i].err = ReadAll(ErrPath(i));
            }
        }
        if (serveEvents)
            QCoreApplication::processEvents();
        return ran;
    }

    Ran Run(const QList<QByteArray>& args, bool serveEvents = true, const std::function<void()>& meanwhile = {},
            const std::function<bool(const QByteArray& err)>& stop = {}, int limitMs = 30000)
    {
        return RunTogether({args}, serveEvents, meanwhile, stop, limitMs).first();
    }

    QTemporaryDir run, files;
    std::unique_ptr<DocumentServer> server;
    QList<DocumentPaths> delivered;
};

} // namespace

// Every argument is one path, made absolute in order and not cleaned ("lnk/.." is
// the folder above lnk's target, not the current folder), whose bytes reach the
// file they name also when they are not UTF-8, never the one decoding them names.
TEST_F(Launch, PathsGoAsNamedByTheirBytesAndOpenTheFileTheSystemResolvesOrSayWhyNot)
{
    const QByteArray dir = Folder(files);
    ASSERT_TRUE(QDir(files.path()).mkpath(QStringLiteral("elsewhere/sub")));
    WriteFile(dir + "/x.bin", "DECOY");
    WriteFile(dir + "/elsewhere/x.bin", "TARGET");
    const RemovedAtEnd bad{dir + "/bad\xff\xfe.bin"};
    WriteFile(bad.path, "nu");
    WriteFile(dir + "/bad\xef\xbf\xbd\xef\xbf\xbd.bin", "WRONG");
    ASSERT_EQ(::symlink("elsewhere/sub", (dir + "/lnk").constData()), 0);
    Serve();
    const std::pair<QList<QByteArray>, QString> launches[] = {
        {{"a.bin", "", "/abs/b.bin", "lnk/../x.bin"}, QStringLiteral("T A R G E T ")},
        {{"bad\xff\xfe.bin"}, QStringLiteral("n u ")},
    };
    for (const auto& [args, shown] : launches) {
        const Ran ran = Run(args);
        EXPECT_EQ(ran.status, 0) << ran.err.constData();
        EXPECT_EQ(MW::Instance().FutterTa().Text(), shown);
    }
    EXPECT_EQ(delivered, (QList<DocumentPaths>{{dir + "/a.bin", "/abs/b.bin", dir + "/lnk/../x.bin"},
                                               {dir + "/bad\xff\xfe.bin"}}));

    // With no instance running, the launch opens the name itself and says so on
    // stderr when there is no such file.
    server.reset();
    const QByteArray line = "Quorvanel: cannot open " + dir + "/gone\xff.bin: No such file or directory\n";
    const Ran alone = Run({"gone\xff.bin"}, true, {}, [&](const QByteArray& err) { return err.contains(line); }, 20000);
    EXPECT_TRUE(alone.err.contains(line)) << alone.err.constData();
}

// A sparse file larger than the memory there is: said in words, naming the file,
// by the window it is handed to (which keeps what it showed) and by a launch that
// opens it alone.
TEST_F(Launch, FileTooLargeForMemoryIsNamedWithTheReasonAndTheViewKeepsWhatItShowed)
{
    const QByteArray huge = Folder(files) + "/huge\xff.bin";
    const RemovedAtEnd hugeGoes{huge};
    WriteFile(Folder(files) + "/small.bin", "KEEP");
    WriteFile(huge, "");
    const qint64 size = AvailableMemory() + (qint64(4) << 30);
    if (::truncate(huge.constData(), size) != 0)
        GTEST_SKIP() << "this file system cannot hold a sparse file of " << size << " bytes";
    QStringList messages;
    const UserMessageSink previous = SetUserMessageSink([&](const QString& text) { messages << text; });
    Serve();
    EXPECT_EQ(Run({"small.bin"}).status, 0);
    const Ran handed = Run({"huge\xff.bin"});
    SetUserMessageSink(previous);
    EXPECT_EQ(handed.status, 0) << handed.err.constData();
    EXPECT_EQ(MW::Instance().FutterTa().Text(), QStringLiteral("K E E P "));
    ASSERT_EQ(messages.size(), 1);
    const QString said = "The file \"" + QFile::decodeName(huge) + "\" could not be opened: it holds "
        + QLocale::c().formattedDataSize(size, 1, QLocale::DataSizeIecFormat) + ", more than the ";
    EXPECT_TRUE(messages[0].startsWith(said) && messages[0].contains(QStringLiteral(" of memory that is free.")))
        << messages[0].toStdString();

    server.reset();
    const Ran alone = Run({"huge\xff.bin"}, true, {}, [](const QByteArray& err) {
        return err.contains("could not be opened") || err.contains("exception");
    }, 20000);
    EXPECT_TRUE(alone.err.contains("Quorvanel: " + said.toLocal8Bit())) << alone.err.constData();
    EXPECT_FALSE(alone.err.contains("exception")) << alone.err.constData();
}

TEST_F(Launch, SecondLaunchHandsOverWhatTheMessageCarriesAndNamesEachRefusedPath)
{
    Serve();
    const QByteArray tooLong = "/" + QByteArray(handover::kMaxPathBytes + 1, 'l');
    QList<QByteArray> large;
    for (int i = 0; i < 300; ++i)
        large << "/" + QByteArray::number(i).rightJustified(3999, 'p');
    const QByteArray first = Folder(files) + "/a.bin";

    const Ran ran = Run(QList<QByteArray>{"a.bin", tooLong} + large);
    EXPECT_EQ(ran.status, 0) << ran.err.left(300).constData();
    // In order, as many as fit within the whole message's 1 MiB: each large path
    // takes 4 + 4000 bytes, so 261 of them fit beside the first path and 39 do not.
    const DocumentPaths carried = DocumentPaths{first} + large.mid(0, 261);
    EXPECT_EQ(delivered, QList<DocumentPaths>{carried});
    EXPECT_EQ(ran.err.count("Quorvanel: not handed over: "), 1 + 39);
    EXPECT_TRUE(ran.err.contains("not handed over: " + tooLong + ": longer than the 4096 bytes a path may have\n"));
    EXPECT_TRUE(ran.err.contains("not handed over: " + large.last() + ": the paths of one launch may take 1048576 bytes in all\n"));
    EXPECT_FALSE(ran.err.contains("running instance"));

    // Nothing carried: nothing is handed over, and the launch fails.
    delivered.clear();
    const Ran none = Run({tooLong});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err.count("Quorvanel: not handed over: " + tooLong), 1);
    EXPECT_TRUE(delivered.isEmpty());
}

// An instance too busy to take connections keeps its socket: the launch gives up
// without taking it, and once the instance serves again, a launch hands over.
TEST_F(Launch, LaunchWhileTheInstanceIsBusyAndItsBacklogFullLeavesTheSocketToIt)
{
    Serve();
    const ino_t socket = Inode(SocketPath());
    QList<int> backlog;
    for (int fd; backlog.size() < 10000 && (fd = UnixSocket(SocketPath(), false)) >= 0;)
        backlog << fd;
    ASSERT_LT(backlog.size(), 10000) << "the backlog never filled";

    const Ran busy = Run({"a.bin"}, false);
    EXPECT_EQ(busy.status, 1) << busy.err.constData();
    EXPECT_TRUE(busy.err.contains("not answering")) << busy.err.constData();
    EXPECT_EQ(Inode(SocketPath()), socket);
    EXPECT_FALSE(DocumentServer(nullptr).Listen(SocketPath()));
    EXPECT_EQ(Inode(SocketPath()), socket);
    for (int fd : backlog)
        ::close(fd);

    const Ran later = Run({"b.bin"});
    EXPECT_EQ(later.status, 0) << later.err.constData();
    EXPECT_EQ(delivered, QList<DocumentPaths>{{Folder(files) + "/b.bin"}});
}

// Launches at once to an instance that takes no connection (stopped, or hung):
// each leaves its paths in the socket and ends, none becomes an instance nobody
// can reach, and the instance opens them all when it comes back. A launch that
// cannot even learn who runs, as another holds the start-up lock, says so.
TEST_F(Launch, LaunchesAtOnceToAStoppedInstanceAllHandOverAndNoneBecomesASecondInstance)
{
    Serve();
    const QList<Ran> ran = RunTogether({{"1.bin"}, {"2.bin"}, {"3.bin"}, {"4.bin"}}, false, {}, {}, 20000);
    for (const Ran& r : ran)
        EXPECT_EQ(r.status, 0) << r.err.constData();
    QElapsedTimer clock;
    clock.start();
    while (delivered.size() < 4 && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    std::ranges::sort(delivered);
    EXPECT_EQ(delivered, (QList<DocumentPaths>{{Folder(files) + "/1.bin"}, {Folder(files) + "/2.bin"},
                                               {Folder(files) + "/3.bin"}, {Folder(files) + "/4.bin"}}));

    server.reset();
    QLockFile hung(SocketPath() + QStringLiteral(".lock"));
    ASSERT_TRUE(hung.tryLock(0));
    const Ran locked = Run({"5.bin"}, true, {}, {}, 25000);
    EXPECT_EQ(locked.status, 1) << locked.err.constData();
    EXPECT_TRUE(locked.err.contains("cannot be reached, and nothing was handed over")) << locked.err.constData();
}

// The running program out of descriptors cannot take a connection for a while: it
// keeps its socket, and takes the waiting hand-over once it has room again.
TEST_F(Launch, RunningProgramOutOfDescriptorsKeepsItsSocketAndServesOnceItHasRoom)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers' own checks need descriptors: a program built with them reports false "
                    "faults once it has none left";
#endif
    const pid_t first = Start({}, Folder(run) + "/first");
    QElapsedTimer clock;
    clock.start();
    while (Inode(SocketPath()) == 0 && clock.elapsed() < 20000)
        QThread::msleep(10);
    const ino_t socket = Inode(SocketPath());
    ASSERT_NE(socket, 0u) << ReadAll(Folder(run) + "/first").constData();
    // Its start-up opens many files; only a program that answers is done with it.
    ASSERT_EQ(Run({"0.bin"}, false).status, 0);
    // The lowest free descriptor becomes the limit: the next one it opens fails.
    QDir fds(QStringLiteral("/proc/%1/fd").arg(first));
    int lowestFree = 0;
    while (fds.exists(QString::number(lowestFree)))
        ++lowestFree;
    rlimit old {}, tight {rlim_t(lowestFree), 0};
    ASSERT_EQ(::prlimit(first, RLIMIT_NOFILE, nullptr, &old), 0);
    tight.rlim_max = old.rlim_max;
    ASSERT_EQ(::prlimit(first, RLIMIT_NOFILE, &tight, nullptr), 0);

    const Ran waiting = Run({"a.bin"}, false, {}, {}, 15000);
    EXPECT_EQ(waiting.status, 0) << waiting.err.constData();
    EXPECT_EQ(Inode(SocketPath()), socket);
    ASSERT_EQ(::prlimit(first, RLIMIT_NOFILE, &old, nullptr), 0);
    // With room again it takes connections as before: each probe is answered, the
    // second only once the first was.
    for (int i = 0; i < 2; ++i) {
        const int probe = UnixSocket(SocketPath(), false);
        ASSERT_GE(probe, 0);
        ASSERT_EQ(::write(probe, handover::Probe().constData(), 8), 8);
        pollfd answer {probe, POLLIN, 0};
        char ack = 0;
        EXPECT_TRUE(::poll(&answer, 1, 10000) == 1 && ::read(probe, &ack, 1) == 1 && ack == handover::kAck) << i;
        ::close(probe);
    }
    EXPECT_EQ(Inode(SocketPath()), socket);
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
}

// Idle connections are kept up throughout: each one the instance drops is
// replaced at once, so at no moment are there fewer than sixteen. Left alone,
// each is dropped in the end.
TEST_F(Launch, HandOverGetsThroughWhileOtherConnectionsSitIdleAndEachIdleOneIsDropped)
{
    Serve();
    auto dropped = [](int fd) {
        pollfd p {fd, POLLIN, 0};
        char byte;
        return ::poll(&p, 1, 0) == 1 && ::recv(fd, &byte, 1, 0) <= 0;
    };
    QList<int> idle;
    for (int i = 0; i < 16; ++i)
        idle << UnixSocket(SocketPath(), false);
    QCoreApplication::processEvents();

    const Ran ran = Run({"a.bin"}, true, [&] {
        for (int& fd : idle)
            if (dropped(fd)) {
                ::close(fd);
                fd = UnixSocket(SocketPath(), false);
            }
    });
    EXPECT_EQ(ran.status, 0) << ran.err.constData();
    EXPECT_EQ(delivered, QList<DocumentPaths>{{Folder(files) + "/a.bin"}});

    QElapsedTimer clock;
    clock.start();
    while (!idle.isEmpty() && clock.elapsed() < 20000) {
        QCoreApplication::processEvents();
        for (qsizetype i = idle.size() - 1; i >= 0; --i)
            if (dropped(idle[i]))
                ::close(idle.takeAt(i));
        QThread::msleep(5);
    }
    EXPECT_TRUE(idle.isEmpty()) << idle.size() << " idle connections still open";
    for (int fd : idle)
        ::close(fd);
}
