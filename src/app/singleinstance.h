// One running Quorvanel per user: the first launch listens on a local socket in a
// folder only that user can enter; a later launch hands its document paths over
// that socket and ends. Peers of another user, malformed or oversized messages and
// idle connections are dropped without a word.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace single_instance {

// The socket's place for the current user: in $XDG_RUNTIME_DIR when that folder
// is the user's own and closed to others, else in a folder of the user's own
// under the temporary folder. Empty when no such place can be had.
QString DefaultSocketPath();

// The running instance's end: accepts connections, reads one message from each,
// acknowledges it and hands its paths on.
class DocumentServer : public QObject {
public:
    using Deliver = std::function<void(const QStringList& paths)>;

    explicit DocumentServer(Deliver deliver, QObject* parent = nullptr);
    ~DocumentServer() override;

    // Listens at socketPath, replacing a socket file that nobody serves.
    bool Listen(const QString& socketPath);
    QString SocketPath() const;

    // How long a connection may take to send its message.
    void SetConnectionTimeoutMs(int ms) { timeoutMs_ = ms; }
    static constexpr int kMaxConnections = 8;

private:
    void Accept();
    void Serve(QLocalSocket* socket);

    Deliver deliver_;
    QLocalServer* server_;
    int connections_ = 0;
    int timeoutMs_ = 5000;
};

enum class HandOver {
    Delivered,   // the whole message reached the running instance's socket
    NoInstance,  // nobody listens there
    Failed,      // the message could not be written, or the instance refused it
};

// Sends paths (absolute) to the instance listening at socketPath. An instance too
// busy to answer within timeoutMs still has the message and reads it later, so
// that counts as delivered; one that closes the connection unanswered does not.
HandOver SendToRunningInstance(const QString& socketPath, const QStringList& paths, int timeoutMs = 5000);

// The launch's decision, taken under a lock so that two launches at once agree on
// who runs.
struct Claim {
    enum class Outcome {
        Primary,     // this process runs; server listens
        HandedOver,  // the paths reached a running instance: end with status 0
        Failed,      // a running instance could not be given them: end with a failure
        Alone,       // no private place for the socket: run without one
    } outcome = Outcome::Alone;
    std::unique_ptr<DocumentServer> server;
};

Claim ClaimOrHandOver(const QString& socketPath, const QStringList& paths, DocumentServer::Deliver deliver);

} // namespace single_instance
