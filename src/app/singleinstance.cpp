// The single-instance socket: where it lives, the listening end, the sending end
// and the decision a launch takes between them.
#include "app/singleinstance.h"

#include "app/handovermessage.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace single_instance {

namespace {

const char kAck = 'A';
const QString kSocketName = QStringLiteral("quorvanel.socket");

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
    server_->setMaxPendingConnections(kMaxConnections);
    connect(server_, &QLocalServer::newConnection, this, &DocumentServer::Accept);
}

DocumentServer::~DocumentServer() = default;

bool DocumentServer::Listen(const QString& socketPath)
{
    if (socketPath.isEmpty() || !FitsSocketAddress(socketPath))
        return false;
    if (server_->listen(socketPath))
        return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath);
}

QString DocumentServer::SocketPath() const { return server_->fullServerName(); }

void DocumentServer::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_ >= kMaxConnections || !PeerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Serve(socket);
    }
}

void DocumentServer::Serve(QLocalSocket* socket)
{
    ++connections_;
    auto reader = std::make_shared<handover::Reader>();
    auto* timer = new QTimer(socket);
    timer->setSingleShot(true);

    // Every way a connection ends comes through here once.
    auto finish = [this, socket, timer] {
        if (socket->property("finished").toBool())
            return;
        socket->setProperty("finished", true);
        timer->stop();
        --connections_;
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
        const QStringList paths = reader->Paths();
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
    timer->start(timeoutMs_);
    // Bytes that came with the connection itself are read at once.
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(socket, &QLocalSocket::readyRead, Qt::QueuedConnection);
}

HandOver SendToRunningInstance(const QString& socketPath, const QStringList& paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return HandOver::NoInstance;
    const auto message = handover::Encode(paths);
    if (!message)
        return HandOver::Failed;
    if (socket.write(*message) != message->size())
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

Claim ClaimOrHandOver(const QString& socketPath, const QStringList& paths, DocumentServer::Deliver deliver)
{
    Claim claim;
    if (socketPath.isEmpty())
        return claim;
    // Two launches at the same moment: the second waits here until the first
    // listens, then hands over to it.
    QLockFile lock(socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        return claim;

    switch (SendToRunningInstance(socketPath, paths)) {
    case HandOver::Delivered:
        claim.outcome = Claim::Outcome::HandedOver;
        return claim;
    case HandOver::Failed:
        claim.outcome = Claim::Outcome::Failed;
        return claim;
    case HandOver::NoInstance:
        break;
    }
    auto server = std::make_unique<DocumentServer>(std::move(deliver));
    if (server->Listen(socketPath)) {
        claim.outcome = Claim::Outcome::Primary;
        claim.server = std::move(server);
    }
    return claim;
}

} // namespace single_instance
