// The message in which a second launch hands its document paths to the running
// instance: a fixed mark, the payload's length, then each path as a length and its
// bytes. Reading is incremental and rejects anything malformed or oversized as
// soon as it can tell.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace handover {

// Limits that keep a stray or hostile peer from making the program hold much.
inline constexpr qsizetype kMaxPayload = 1 << 20;
inline constexpr qsizetype kMaxPathBytes = 4096;

// A path that a message cannot carry, and why, in words for the user.
struct Refusal {
    QByteArray path;
    QString reason;
};

// What a message takes of some paths (bytes, absolute): every acceptable one, in
// order, as long as the whole stays within its limit; the others are refused one
// by one, so that one bad path does not cost the rest.
struct Packed {
    QByteArray message;
    qsizetype carried = 0;
    QList<Refusal> refused;
};
Packed Encode(const QList<QByteArray>& paths);

class Reader {
public:
    enum class State { NeedMore, Complete, Malformed };

    // Takes the next bytes of the stream. Bytes after a complete message make it
    // malformed: a sender writes one message per connection.
    State Feed(const QByteArray& bytes);
    State Current() const { return state_; }
    // The paths of a complete message, byte for byte as they were sent.
    const QList<QByteArray>& Paths() const { return paths_; }

private:
    State Parse();

    QByteArray buffer_;
    QList<QByteArray> paths_;
    State state_ = State::NeedMore;
};

// Decodes one whole message; nothing when it is not exactly one valid message.
std::optional<QList<QByteArray>> Decode(const QByteArray& message);

} // namespace handover
