// The single-instance socket over real local sockets in a private folder: where it
// lives, hand-over to a listening instance, stale sockets, and what the running
// instance refuses.
#include "app/singleinstance.h"
#include "helpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>

using namespace single_instance;

namespace {

// Runs fn on a thread of its own while this thread serves events, as the running
// instance's event loop would, after first running then; gives up after a few seconds.
template <class Fn>
void RunBeside(Fn fn, const std::function<void()>& then = {})
{
    QThread* thread = QThread::create(std::move(fn));
    thread->start();
    if (then)
        then();
    QElapsedTimer clock;
    clock.start();
    while (!thread->isFinished() && clock.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(thread->wait(5000));
    delete thread;
}

// Sets a variable for one scope; the fresh processes of the start-up tests
// inherit the environment, so it is put back.
struct ScopedEnv {
    const char* name;
    QByteArray old = qgetenv(name);
    bool had = qEnvironmentVariableIsSet(name);
    ~ScopedEnv() { had ? qputenv(name, old) : qunsetenv(name); }
};

mode_t Mode(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode;
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && tmp.isValid()); }
    QString SocketPath() const { return dir.filePath(QStringLiteral("q.socket")); }

    QTemporaryDir dir, tmp;
    QList<DocumentPaths> delivered;
    DocumentServer::Deliver deliver = [this](const DocumentPaths& paths, const handover::Feedback&) { delivered << paths; };
};

} // namespace

TEST_F(SingleInstance, SocketLivesOnlyInAFolderOthersCannotEnterElseTheProgramRunsAlone)
{
    ScopedEnv runtime{"XDG_RUNTIME_DIR"}, tmpdir{"TMPDIR"};
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    EXPECT_EQ(DefaultSocketPath(), dir.filePath(QStringLiteral("quorvanel.socket")));

    // A runtime folder open to others is passed over for a private one.
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    const QString folder = tmp.filePath(QStringLiteral("quorvanel-%1").arg(::geteuid()));
    EXPECT_EQ(DefaultSocketPath(), folder + QStringLiteral("/quorvanel.socket"));
    EXPECT_EQ(Mode(folder) & 077, 0u);

    // A fallback folder that others can enter is not used either.
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    qputenv("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_EQ(DefaultSocketPath(), QString());
    Claim claim = ClaimOrHandOver(DefaultSocketPath(), {"/a"}, deliver);
    EXPECT_EQ(claim.outcome, Claim::Outcome::Alone);
    EXPECT_EQ(claim.server, nullptr);
}

// The life of the socket: a crashed instance's leftover taken over, later launches
// reaching the instance, and the socket taken away when the instance ends.
TEST_F(SingleInstance, StaleSocketIsTakenOverLaterLaunchesHandTheirPathsAndTheInstanceRemovesOnlyItsOwn)
{
    // What a crashed instance leaves: a socket file that nobody serves.
    const int fd = UnixSocket(SocketPath(), true);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(SendToRunningInstance(SocketPath(), handover::Encode({}).message, 1000), HandOver::NoInstance);

    Claim first = ClaimOrHandOver(SocketPath(), {}, deliver);
    ASSERT_EQ(first.outcome, Claim::Outcome::Primary);
    EXPECT_TRUE(S_ISSOCK(Mode(SocketPath())));
    EXPECT_EQ(Mode(SocketPath()) & 077, 0u);
    // A launch without paths still reaches the instance (the launch tests hand paths over).
    Claim::Outcome second = Claim::Outcome::Alone;
    RunBeside([&] { second = ClaimOrHandOver(SocketPath(), {}, nullptr).outcome; });
    EXPECT_EQ(second, Claim::Outcome::HandedOver);
    EXPECT_EQ(delivered, QList<DocumentPaths>{DocumentPaths{}});

    // The probe is answered, and delivers nothing.
    delivered.clear();
    HandOver probed = HandOver::Failed;
    RunBeside([&] { probed = SendToRunningInstance(SocketPath(), handover::Probe(), 3000); });
    EXPECT_EQ(probed, HandOver::Delivered);
    QCoreApplication::processEvents();
    EXPECT_TRUE(delivered.isEmpty());
    // Another build's message is turned away unanswered.
    RunBeside([&] { probed = SendToRunningInstance(SocketPath(), "QVOPEN2\n", 3000); });
    EXPECT_EQ(probed, HandOver::Failed);

    // Its socket removed, a later instance listens in its place: this one ending
    // leaves that socket alone, and the later one takes its own away.
    ASSERT_EQ(::unlink(QFile::encodeName(SocketPath()).constData()), 0);
    auto later = std::make_unique<DocumentServer>(nullptr);
    ASSERT_TRUE(later->Listen(SocketPath()));
    first.server.reset();
    probed = HandOver::Failed;
    RunBeside([&] { probed = SendToRunningInstance(SocketPath(), handover::Probe(), 3000); });
    EXPECT_EQ(probed, HandOver::Delivered);
    later.reset();
    EXPECT_FALSE(QFileInfo::exists(SocketPath()));
}

// Two launches at once with no instance: the one that waited while the other
// started up hands its paths over to it instead of running beside it.
TEST_F(SingleInstance, LaunchThatWaitedForAnotherToStartHandsOverToIt)
{
    const QString lockPath = SocketPath() + QStringLiteral(".lock");
    QLockFile starting(lockPath);
    ASSERT_TRUE(starting.tryLock(0));
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(lockPath).constData(), IN_OPEN), 0);
    DocumentServer server(deliver);
    Claim::Outcome later = Claim::Outcome::Alone;
    RunBeside([&] { later = ClaimOrHandOver(SocketPath(), {"/b"}, nullptr).outcome; }, [&] {
        // It found nobody listening and now asks who holds the lock.
        pollfd asked {watch, POLLIN, 0};
        EXPECT_EQ(::poll(&asked, 1, 10000), 1);
        ::close(watch);
        EXPECT_TRUE(server.Listen(SocketPath()));
        starting.unlock();
    });
    EXPECT_EQ(later, Claim::Outcome::HandedOver);
    EXPECT_EQ(delivered, QList<DocumentPaths>{{"/b"}});
}
