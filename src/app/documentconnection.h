// One connection to the running instance, from its first byte to its end: the
// message read as it comes, one answer, and the paths and the launch's feedback
// handed on. Every way it ends
// (answered, malformed, dropped by the peer, or past its deadline) ends it once,
// and the object then deletes itself with its socket.
#pragma once

#include "app/documentpaths.h"
#include "app/handovermessage.h"

#include <QObject>
#include <QTimer>
#include <functional>

class QLocalSocket;

namespace single_instance {

class DocumentConnection : public QObject {
public:
    using Deliver = std::function<void(const DocumentPaths& paths, const handover::Feedback& feedback)>;

    // Takes the socket over; deadlineMs is how long the sender has for its message.
    DocumentConnection(QLocalSocket* socket, Deliver deliver, int deadlineMs, QObject* parent);

private:
    // Reads what has come, and answers once the message is whole.
    void Read();
    void Expire();
    void End(bool abort);

    QLocalSocket* socket_;
    Deliver deliver_;
    handover::Reader reader_;
    QTimer deadline_;
    bool ended_ = false;
};

} // namespace single_instance
