// The message in which a second launch hands its document paths to the running
// instance: a fixed mark, the payload's length, then each path as a length and its
// bytes. Reading is incremental and rejects anything malformed or oversized as
// soon as it can tell.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace handover {

// Limits that keep a stray or hostile peer from making the program hold much.
inline constexpr qsizetype kMaxPayload = 1 << 20;
inline constexpr qsizetype kMaxPathBytes = 4096;

// Encodes absolute paths; nothing when a path is empty, relative or too long, or
// the whole is over the limit.
std::optional<QByteArray> Encode(const QStringList& paths);

class Reader {
public:
    enum class State { NeedMore, Complete, Malformed };

    // Takes the next bytes of the stream. Bytes after a complete message make it
    // malformed: a sender writes one message per connection.
    State Feed(const QByteArray& bytes);
    State Current() const { return state_; }
    // The paths of a complete message.
    const QStringList& Paths() const { return paths_; }

private:
    State Parse();

    QByteArray buffer_;
    QStringList paths_;
    State state_ = State::NeedMore;
};

// Decodes one whole message; nothing when it is not exactly one valid message.
std::optional<QStringList> Decode(const QByteArray& message);

} // namespace handover
