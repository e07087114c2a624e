// A connection of the single-instance socket.
#include "app/documentconnection.h"

#include <QLocalSocket>

namespace single_instance {

DocumentConnection::DocumentConnection(QLocalSocket* socket, Deliver deliver, int deadlineMs, QObject* parent)
    : QObject(parent), socket_(socket), deliver_(std::move(deliver))
{
    socket_->setParent(this);
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, &DocumentConnection::Expire);
    connect(socket_, &QLocalSocket::readyRead, this, &DocumentConnection::Read);
    // A sender that wrote its message and left at once still counts.
    connect(socket_, &QLocalSocket::disconnected, this, [this] {
        Read();
        End(false);
    });
    deadline_.start(deadlineMs);
    // Bytes that came with the connection itself are read at once.
    if (socket_->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &DocumentConnection::Read, Qt::QueuedConnection);
}

void DocumentConnection::Read()
{
    // An aborted socket still looks open from outside but warns on a read.
    if (ended_ || socket_->bytesAvailable() <= 0)
        return;
    const auto state = reader_.Feed(socket_->readAll());
    if (state == handover::Reader::State::NeedMore)
        return;
    if (state == handover::Reader::State::Malformed) {
        End(true);
        return;
    }
    socket_->write(&handover::kAck, 1);
    socket_->flush();
    // Ending may report the disconnection at once, and delivering may run an event
    // loop of its own: what is delivered is taken out first.
    const DocumentPaths paths = reader_.Paths();
    const handover::Feedback feedback = reader_.Feedback();
    const Deliver deliver = state == handover::Reader::State::Complete ? deliver_ : Deliver();
    End(false);
    if (deliver)
        deliver(paths, feedback);
}

// A message that arrived while this instance was too busy to read it still counts:
// its sender has been told it was delivered.
void DocumentConnection::Expire()
{
    Read();
    End(true);
}

void DocumentConnection::End(bool abort)
{
    if (ended_)
        return;
    ended_ = true;
    deadline_.stop();
    if (abort)
        socket_->abort();
    else
        socket_->disconnectFromServer();
    deleteLater();
}

} // namespace single_instance
