// The single-instance socket: where it lives, the listening end, the sending end
// and the decision a launch takes between them.
#include "app/singleinstance.h"

#include "app/documentconnection.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace single_instance {

namespace {

const QString kSocketName = QStringLiteral("quorvanel.socket");
// A sender writes its whole message at once; one that has not within this long
// is not going to.
constexpr int kConnectionDeadlineMs = 2000;
// Connections waiting to be taken, as many as Qt's own server allows.
constexpr int kBacklog = 50;
// How soon a server out of descriptors tries again.
constexpr int kAcceptRetryMs = 200;
// How soon a launch asks a busy instance again for a connection.
constexpr int kConnectRetryMs = 10;
// How long a launch waits for another that is becoming the running instance.
constexpr int kLockWaitMs = 10000;

sockaddr_un Address(const QByteArray& native)
{
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    return addr;
}

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
    const sockaddr_un addr = Address(QFile::encodeName(socketPath));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool nobody = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0
        && (errno == ECONNREFUSED || errno == ENOENT);
    ::close(fd);
    return nobody;
}

// Whether the socket becomes ready for events within timeoutMs.
bool Ready(int fd, short events, int timeoutMs)
{
    pollfd p {fd, events, 0};
    int n;
    while ((n = ::poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    return n > 0;
}

bool PeerIsThisUser(int fd)
{
    ucred cred {};
    socklen_t len = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
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
    : QObject(parent), deliver_(std::move(deliver)), retry_(new QTimer(this))
{
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, [this] {
        if (notifier_)
            notifier_->setEnabled(true);
        Accept();
    });
}

DocumentServer::~DocumentServer() { Close(); }

bool DocumentServer::Listen(const QString& socketPath)
{
    // Binding over whatever file has the name would take a live instance's socket;
    // so it is asked first whether anyone is there.
    if (fd_ >= 0 || socketPath.isEmpty() || !FitsSocketAddress(socketPath) || !NobodyListens(socketPath))
        return false;
    const QByteArray native = QFile::encodeName(socketPath);
    ::unlink(native.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const sockaddr_un addr = Address(native);
    struct stat st {};
    // The folder is the user's own already; the socket is closed to others as well.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return false;
    }
    if (::chmod(native.constData(), 0600) != 0 || ::listen(fd, kBacklog) != 0 || ::lstat(native.constData(), &st) != 0) {
        ::close(fd);
        ::unlink(native.constData());
        return false;
    }
    fd_ = fd;
    path_ = socketPath;
    inode_ = st.st_ino;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DocumentServer::Accept);
    return true;
}

QString DocumentServer::SocketPath() const { return path_; }

void DocumentServer::Close()
{
    if (fd_ < 0)
        return;
    delete notifier_;
    notifier_ = nullptr;
    ::close(fd_);
    fd_ = -1;
    // Only the socket this server made: a later instance may have put its own there.
    struct stat st {};
    const QByteArray native = QFile::encodeName(path_);
    if (::lstat(native.constData(), &st) == 0 && st.st_ino == inode_ && S_ISSOCK(st.st_mode))
        ::unlink(native.constData());
}

void DocumentServer::Accept()
{
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors or memory for now: the connection waits in the
                // backlog, and is taken once there is room again.
                notifier_->setEnabled(false);
                retry_->start(kAcceptRetryMs);
            }
            return;
        }
        if (!PeerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        auto* socket = new QLocalSocket;
        if (!socket->setSocketDescriptor(fd)) {
            delete socket;
            ::close(fd);
            continue;
        }
        new DocumentConnection(socket, deliver_, kConnectionDeadlineMs, this);
    }
}

HandOver SendToRunningInstance(const QString& socketPath, const QByteArray& message, int timeoutMs)
{
    // No socket can have a name that does not fit an address.
    if (socketPath.isEmpty() || !FitsSocketAddress(socketPath))
        return HandOver::NoInstance;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return HandOver::Failed;
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    const sockaddr_un addr = Address(QFile::encodeName(socketPath));
    // A listener whose backlog is full turns the connection away for now: it is a
    // busy instance's, asked again until the time is up. Only a refusal or a
    // missing socket mean nobody is there.
    const QDeadlineTimer connecting(timeoutMs);
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno == ECONNREFUSED || errno == ENOENT)
            return HandOver::NoInstance;
        if (errno != EAGAIN || connecting.hasExpired())
            return HandOver::Busy;
        ::poll(nullptr, 0, kConnectRetryMs);
    }
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t n = ::send(fd, message.constData() + sent, size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n > 0)
            sent += n;
        else if (n == 0 || (errno != EINTR && (errno != EAGAIN || !Ready(fd, POLLOUT, timeoutMs))))
            return HandOver::Failed;
    }
    // The whole message sits in the socket now, and the running instance reads it
    // whenever its event loop comes round, however busy it is at the moment. Only
    // an instance that closes the connection unanswered has refused it.
    for (;;) {
        char answer = 0;
        const ssize_t n = ::recv(fd, &answer, 1, 0);
        if (n == 1)
            return answer == handover::kAck ? HandOver::Delivered : HandOver::Failed;
        if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return HandOver::Failed;
        if (errno == EAGAIN && !Ready(fd, POLLIN, timeoutMs))
            return HandOver::Delivered;
    }
}

namespace {

// The claim that a hand-over's result makes; nothing when nobody listens.
std::optional<Claim> HandedOver(HandOver result, handover::Packed& packed, bool nothingCarried)
{
    Claim claim;
    switch (result) {
    case HandOver::NoInstance:
        return std::nullopt;
    case HandOver::Delivered:
        claim.outcome = nothingCarried ? Claim::Outcome::Refused : Claim::Outcome::HandedOver;
        break;
    case HandOver::Busy:
        claim.outcome = Claim::Outcome::Busy;
        return claim;
    case HandOver::Failed:
        claim.outcome = nothingCarried ? Claim::Outcome::Refused : Claim::Outcome::Failed;
        break;
    }
    claim.refused = std::move(packed.refused);
    return claim;
}

} // namespace

Claim ClaimOrHandOver(const QString& socketPath, const DocumentPaths& paths, DocumentServer::Deliver deliver,
                      const handover::Feedback& feedback, const BecomeInstance& becomeInstance)
{
    if (socketPath.isEmpty())
        return {};
    handover::Packed packed = handover::Encode(paths, feedback);
    // With every path refused there is nothing to send, but whether an instance
    // runs still decides whether this launch opens them itself.
    const bool nothingCarried = !paths.isEmpty() && packed.carried == 0;
    const QByteArray message = nothingCarried ? handover::Probe() : packed.message;
    if (auto claim = HandedOver(SendToRunningInstance(socketPath, message), packed, nothingCarried))
        return std::move(*claim);

    // Nobody listens. Two launches at the same moment: the second waits here until
    // the first listens, then hands over to it. A lock held past all patience is
    // a launch that hangs, and this one cannot tell who runs.
    QLockFile lock(socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        Claim claim;
        if (lock.error() == QLockFile::LockFailedError)
            claim.outcome = Claim::Outcome::Unreachable;
        return claim;
    }
    if (auto claim = HandedOver(SendToRunningInstance(socketPath, message), packed, nothingCarried))
        return std::move(*claim);
    if (becomeInstance)
        becomeInstance(lock);
    Claim claim;
    auto server = std::make_unique<DocumentServer>(std::move(deliver));
    if (server->Listen(socketPath)) {
        claim.outcome = Claim::Outcome::Primary;
        claim.server = std::move(server);
    }
    return claim;
}

} // namespace single_instance
