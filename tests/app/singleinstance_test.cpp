// The single-instance socket over real local sockets in a private folder: where it
// lives, hand-over to a listening instance, stale sockets, and what the running
// instance refuses.
#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace single_instance;

namespace {

// Runs fn on a thread of its own while this thread serves events, as the running
// instance's event loop would; gives up after a few seconds.
template <class Fn>
void RunBeside(Fn fn)
{
    QThread* thread = QThread::create(std::move(fn));
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    QElapsedTimer clock;
    clock.start();
    while (!thread->isFinished() && clock.elapsed() < 15000)
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(thread->wait(5000));
    delete thread;
}

void Serve(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString SocketPath() const { return dir.filePath(QStringLiteral("q.socket")); }

    QTemporaryDir dir;
    QList<QStringList> delivered;
    DocumentServer::Deliver deliver = [this](const QStringList& paths) { delivered << paths; };
};

class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~EnvironmentVariable()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

} // namespace

TEST_F(SingleInstance, SocketLivesInAPrivateRuntimeFolder)
{
    EnvironmentVariable runtime("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    EXPECT_EQ(DefaultSocketPath(), dir.filePath(QStringLiteral("quorvanel.socket")));
}

TEST_F(SingleInstance, RuntimeFolderOpenToOthersIsPassedOverForAPrivateOne)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EnvironmentVariable runtime("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    EnvironmentVariable tmpdir("TMPDIR", tmp.path().toLocal8Bit());
    const QString path = DefaultSocketPath();
    const QString folder = tmp.filePath(QStringLiteral("quorvanel-%1").arg(::geteuid()));
    EXPECT_EQ(path, folder + QStringLiteral("/quorvanel.socket"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST_F(SingleInstance, FallbackFolderThatOthersCanEnterIsNotUsed)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString folder = tmp.filePath(QStringLiteral("quorvanel-%1").arg(::geteuid()));
    ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0777), 0);
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    EnvironmentVariable runtime("XDG_RUNTIME_DIR", QByteArray());
    EnvironmentVariable tmpdir("TMPDIR", tmp.path().toLocal8Bit());
    EXPECT_EQ(DefaultSocketPath(), QString());
}

TEST_F(SingleInstance, SocketFileIsOpenToItsOwnerOnly)
{
    DocumentServer server(deliver);
    ASSERT_TRUE(server.Listen(SocketPath()));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(SocketPath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST_F(SingleInstance, SecondLaunchHandsItsPathsEvenNoneToTheListeningInstance)
{
    Claim first = ClaimOrHandOver(SocketPath(), {}, deliver);
    ASSERT_EQ(first.outcome, Claim::Outcome::Primary);

    const QList<QStringList> launches = {{QStringLiteral("/tmp/one.bin"), QStringLiteral("/tmp/two.bin")}, {}};
    for (const QStringList& paths : launches) {
        Claim::Outcome second = Claim::Outcome::Alone;
        RunBeside([&] { second = ClaimOrHandOver(SocketPath(), paths, nullptr).outcome; });
        EXPECT_EQ(second, Claim::Outcome::HandedOver) << paths.size() << " paths";
    }
    EXPECT_EQ(delivered, launches);
}

TEST_F(SingleInstance, BusyInstanceStillGetsThePathsAndTheSenderReportsSuccess)
{
    Claim first = ClaimOrHandOver(SocketPath(), {}, deliver);
    ASSERT_EQ(first.outcome, Claim::Outcome::Primary);

    // This thread serves no events while the sender waits: the running instance
    // is busy past the sender's whole timeout.
    HandOver result = HandOver::NoInstance;
    const QStringList paths = {QStringLiteral("/tmp/late.bin")};
    QThread* sender = QThread::create([&] { result = SendToRunningInstance(SocketPath(), paths, 300); });
    sender->start();
    ASSERT_TRUE(sender->wait(10000));
    delete sender;
    EXPECT_EQ(result, HandOver::Delivered);
    EXPECT_TRUE(delivered.isEmpty());

    Serve(300);
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0], paths);
}

TEST_F(SingleInstance, InstanceThatClosesTheConnectionUnansweredHasNotTakenThePaths)
{
    QLocalServer refuser;
    ASSERT_TRUE(refuser.listen(SocketPath()));
    QObject::connect(&refuser, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* s = refuser.nextPendingConnection()) {
            s->abort();
            s->deleteLater();
        }
    });
    HandOver result = HandOver::Delivered;
    RunBeside([&] { result = SendToRunningInstance(SocketPath(), {QStringLiteral("/f")}, 3000); });
    EXPECT_EQ(result, HandOver::Failed);
}

TEST_F(SingleInstance, SocketLeftByAnInstanceThatDiedIsTakenOver)
{
    // What a crashed instance leaves: a socket file that nobody serves.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(SocketPath());
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(SocketPath()));
    EXPECT_EQ(SendToRunningInstance(SocketPath(), {}, 1000), HandOver::NoInstance);

    Claim claim = ClaimOrHandOver(SocketPath(), {}, deliver);
    EXPECT_EQ(claim.outcome, Claim::Outcome::Primary);
    HandOver result = HandOver::NoInstance;
    RunBeside([&] { result = SendToRunningInstance(SocketPath(), {QStringLiteral("/f")}); });
    EXPECT_EQ(result, HandOver::Delivered);
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0], QStringList{QStringLiteral("/f")});
}

// Each connection gets its own verdict: a message that is no hand-over, one whose
// header asks for more than is allowed (its payload never follows), and silence.
TEST_F(SingleInstance, BadOrSilentConnectionIsClosedUnansweredAndDeliversNothing)
{
    DocumentServer server(deliver);
    server.SetConnectionTimeoutMs(200);
    ASSERT_TRUE(server.Listen(SocketPath()));
    char length[4];
    qToBigEndian<quint32>(64u << 20, length);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"malformed", QByteArrayLiteral("QVOPEN1\nnot a length and not paths")},
        {"oversized", QByteArrayLiteral("QVOPEN1\n") + QByteArray(length, 4)},
        {"silent", QByteArray()},
    };
    for (const auto& c : cases) {
        bool closed = false;
        QByteArray answer;
        RunBeside([&] {
            QLocalSocket s;
            s.connectToServer(SocketPath());
            if (!s.waitForConnected(3000))
                return;
            if (!c.bytes.isEmpty()) {
                s.write(c.bytes);
                s.waitForBytesWritten(3000);
            }
            closed = s.waitForDisconnected(5000) || s.state() == QLocalSocket::UnconnectedState;
            answer = s.readAll();
        });
        EXPECT_TRUE(closed) << c.what;
        EXPECT_TRUE(answer.isEmpty()) << c.what;
    }
    Serve(50);
    EXPECT_TRUE(delivered.isEmpty());
}

TEST_F(SingleInstance, NoPrivatePlaceMeansRunningAlone)
{
    Claim claim = ClaimOrHandOver(QString(), {QStringLiteral("/a")}, deliver);
    EXPECT_EQ(claim.outcome, Claim::Outcome::Alone);
    EXPECT_EQ(claim.server, nullptr);
}
