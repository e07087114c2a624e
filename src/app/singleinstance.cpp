// The single-instance socket: where it lives, the listening end, the sending end
// and the decision a launch takes between them.
#include "app/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace single_instance {

namespace {

const char kAck = 'A';
const QString kSocketName = QStringLiteral("quorvanel.socket");
// A sender writes its whole message at once; one that has not within this long
// is not going to.
constexpr int kConnectionDeadlineMs = 2000;

// A folder that is the user's own, not a link, and closed to group and others.
bool PrivateFolder(const QString& path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    return !native.isEmpty() && ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

bool FitsSocketAddress(const QString& path)
{
    return QFile::encodeName(path).size() < static_cast<qsizetype>(sizeof(sockaddr_un::sun_path));
}

// True only when there is no socket or a connection to it is refused: nothing
// listens there. A listener whose backlog is full turns a connection away for now
// (EAGAIN) and is as alive as one that answers.
bool NobodyListens(const QString& socketPath)
{
    const QByteArray native = QFile::encodeName(socketPath);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool nobody = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0
        && (errno == ECONNREFUSED || errno == ENOENT);
    ::close(fd);
    return nobody;
}

bool PeerIsThisUser(const QLocalSocket& socket)
{
    ucred cred {};
    socklen_t len = sizeof cred;
    const auto fd = static_cast<int>(socket.socketDescriptor());
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
}

} // namespace

QString DefaultSocketPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString folder;
    if (QDir::isAbsolutePath(runtime) && PrivateFolder(runtime)) {
        folder = runtime;
    } else {
        folder = QDir::tempPath() + QStringLiteral("/quorvanel-%1").arg(::geteuid());
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
        // A folder of that name made by someone else, or opened up, is not used.
        if (!PrivateFolder(folder))
            return {};
    }
    const QString path = QDir::cleanPath(folder) + QLatin1Char('/') + kSocketName;
    return FitsSocketAddress(path) ? path : QString();
}

DocumentServer::DocumentServer(Deliver deliver, QObject* parent)
    : QObject(parent), deliver_(std::move(deliver)), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &DocumentServer::Accept);
}

DocumentServer::~DocumentServer() = default;

bool DocumentServer::Listen(const QString& socketPath)
{
    // Qt puts its new socket in place over whatever file has the name, a live
    // instance's socket included; so it is asked first whether anyone is there.
    if (socketPath.isEmpty() || !FitsSocketAddress(socketPath) || !NobodyListens(socketPath))
        return false;
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath);
}

QString DocumentServer::SocketPath() const { return server_->fullServerName(); }

void DocumentServer::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!PeerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Serve(socket);
    }
}

void DocumentServer::Serve(QLocalSocket* socket)
{
    auto reader = std::make_shared<handover::Reader>();
    auto* timer = new QTimer(socket);
    timer->setSingleShot(true);

    // Every way a connection ends comes through here once.
    auto finish = [this, socket, timer] {
        if (socket->property("finished").toBool())
            return;
        socket->setProperty("finished", true);
        timer->stop();
        socket->disconnectFromServer();
        socket->deleteLater();
    };

    // Reads what has come. True once the connection is done with: the message
    // taken and acknowledged, or a malformed one dropped. Answering or aborting may
    // report the disconnection at once, which comes back here: hence done.
    auto done = std::make_shared<bool>(false);
    auto consume = [this, socket, reader, finish, done] {
        if (*done || socket->property("finished").toBool())
            return true;
        // An aborted socket still looks open from outside but warns on a read.
        if (socket->bytesAvailable() <= 0)
            return false;
        const auto state = reader->Feed(socket->readAll());
        if (state == handover::Reader::State::NeedMore)
            return false;
        *done = true;
        if (state == handover::Reader::State::Malformed) {
            socket->abort();
            finish();
            return true;
        }
        socket->write(&kAck, 1);
        socket->flush();
        const DocumentPaths paths = reader->Paths();
        finish();
        if (deliver_)
            deliver_(paths);
        return true;
    };

    // A message that arrived while this instance was too busy to read it still
    // counts: its sender has been told it was delivered.
    connect(timer, &QTimer::timeout, socket, [socket, consume, finish] {
        if (consume())
            return;
        socket->abort();
        finish();
    });
    connect(socket, &QLocalSocket::disconnected, socket, [consume, finish] {
        consume();
        finish();
    });
    connect(socket, &QLocalSocket::readyRead, socket, [consume] { consume(); });
    timer->start(kConnectionDeadlineMs);
    // Bytes that came with the connection itself are read at once.
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(socket, &QLocalSocket::readyRead, Qt::QueuedConnection);
}

HandOver SendToRunningInstance(const QString& socketPath, const QByteArray& message, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) {
        // Only a refusal or a missing socket mean nobody is there; a connection
        // still pending when the time is up is a busy instance's.
        const auto error = socket.error();
        return error == QLocalSocket::ConnectionRefusedError || error == QLocalSocket::ServerNotFoundError
            ? HandOver::NoInstance
            : HandOver::Busy;
    }
    if (message.isEmpty() || socket.write(message) != message.size())
        return HandOver::Failed;
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs))
            return HandOver::Failed;
    // The whole message sits in the socket now, and the running instance reads it
    // whenever its event loop comes round, however busy it is at the moment. Only
    // an instance that closes the connection unanswered has refused it.
    while (socket.bytesAvailable() < 1) {
        if (socket.waitForReadyRead(timeoutMs) || socket.bytesAvailable() > 0)
            continue;
        return socket.state() == QLocalSocket::ConnectedState ? HandOver::Delivered : HandOver::Failed;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kAck ? HandOver::Delivered : HandOver::Failed;
}

Claim ClaimOrHandOver(const QString& socketPath, const DocumentPaths& paths, DocumentServer::Deliver deliver)
{
    Claim claim;
    if (socketPath.isEmpty())
        return claim;
    // Two launches at the same moment: the second waits here until the first
    // listens, then hands over to it.
    QLockFile lock(socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        return claim;

    handover::Packed packed = handover::Encode(paths);
    // With every path refused there is nothing to send, but whether an instance
    // runs still decides whether this launch opens them itself.
    const bool nothingCarried = !paths.isEmpty() && packed.carried == 0;
    switch (SendToRunningInstance(socketPath, nothingCarried ? QByteArray() : packed.message)) {
    case HandOver::NoInstance:
        break;
    case HandOver::Delivered:
        claim.outcome = Claim::Outcome::HandedOver;
        claim.refused = std::move(packed.refused);
        return claim;
    case HandOver::Busy:
        claim.outcome = Claim::Outcome::Busy;
        return claim;
    case HandOver::Failed:
        claim.outcome = nothingCarried ? Claim::Outcome::Refused : Claim::Outcome::Failed;
        claim.refused = std::move(packed.refused);
        return claim;
    }
    auto server = std::make_unique<DocumentServer>(std::move(deliver));
    if (server->Listen(socketPath)) {
        claim.outcome = Claim::Outcome::Primary;
        claim.server = std::move(server);
    }
    return claim;
}

} // namespace single_instance
