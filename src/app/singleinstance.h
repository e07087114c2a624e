// One running Quorvanel per user: the first launch listens on a local socket in a
// folder only that user can enter; a later launch hands its document paths over
// that socket and ends. Peers of another user, malformed or oversized messages and
// idle connections are dropped without a word. The socket is taken from nobody: it
// is replaced only when nothing listens on it any more.
#pragma once

#include "app/documentpaths.h"
#include "app/handovermessage.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include <sys/types.h>

class QLockFile;
class QSocketNotifier;
class QTimer;

namespace single_instance {

// The socket's place for the current user: in $XDG_RUNTIME_DIR when that folder
// is the user's own and closed to others, else in a folder of the user's own
// under the temporary folder. Empty when no such place can be had.
QString DefaultSocketPath();

// The running instance's end: accepts connections, reads one message from each,
// acknowledges it and hands its paths and the launch's feedback on. Each connection has a deadline of its
// own and none waits for another, so idle ones cannot hold a hand-over back. When
// the process is out of descriptors, a connection waits in the backlog until one
// is free; the socket is never given up while this object lives.
class DocumentServer : public QObject {
public:
    using Deliver = std::function<void(const DocumentPaths& paths, const handover::Feedback& feedback)>;

    explicit DocumentServer(Deliver deliver, QObject* parent = nullptr);
    ~DocumentServer() override;

    // Listens at socketPath, replacing a socket file that nobody serves.
    bool Listen(const QString& socketPath);
    QString SocketPath() const;

private:
    void Accept();
    void Close();

    Deliver deliver_;
    int fd_ = -1;
    QString path_;
    ino_t inode_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* retry_ = nullptr;
};

enum class HandOver {
    Delivered,   // the whole message reached the running instance's socket
    NoInstance,  // nothing listens there: the connection was refused, or there is no socket
    Busy,        // something listens but did not take the connection in time
    Failed,      // the message could not be written, or the instance refused it
};

// Sends a message (or the probe) to the instance listening at socketPath, over a
// plain socket: a launch that only hands over needs no event loop and no display.
// An instance too busy to answer within timeoutMs still has the message and reads
// it later, so that counts as delivered; one that closes the connection unanswered
// does not.
HandOver SendToRunningInstance(const QString& socketPath, const QByteArray& message, int timeoutMs = 5000);

// The launch's decision. A hand-over needs no lock, so launches at once reach a
// running instance side by side however long it takes to answer; only becoming
// the running instance is done under a lock, so that two launches at once agree
// on who runs. A launch that becomes it runs becomeInstance under that lock before
// it listens (the server needs the event loop's application object); should it
// end the process there, it is handed the lock to give up first.
struct Claim {
    enum class Outcome {
        Primary,     // this process runs; server listens
        HandedOver,  // the paths, or those it could carry, reached a running instance
        Refused,     // a running instance listens, but the hand-over carries none of the paths
        Busy,        // a running instance did not take the connection
        Failed,      // a running instance could not be given them
        Unreachable, // another launch holds the lock past all patience: nobody can be reached
        Alone,       // no private place for the socket, or it could not be had: run without one
    } outcome = Outcome::Alone;
    std::unique_ptr<DocumentServer> server;
    // The paths that the hand-over to a running instance could not carry.
    QList<handover::Refusal> refused;
};

using BecomeInstance = std::function<void(QLockFile& lock)>;
Claim ClaimOrHandOver(const QString& socketPath, const DocumentPaths& paths, DocumentServer::Deliver deliver,
                      const handover::Feedback& feedback = {}, const BecomeInstance& becomeInstance = {});

} // namespace single_instance
