// The messages a later launch sends the running instance, one per connection, each
// answered with the single byte 'A' once taken:
//   documents: "QVOPEN1\n", the payload's length (4 bytes, big-endian), then each
//              path as its length (4 bytes, big-endian) and its bytes;
//   probe:     "QVPING1\n" alone, which only asks whether an instance answers.
// Both sides come from the same build; another build's message is malformed, and
// its sender is refused without an answer. Reading is incremental and rejects
// anything malformed or oversized as soon as it can tell.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace handover {

// Limits that keep a stray or hostile peer from making the program hold much.
inline constexpr qsizetype kMaxPayload = 1 << 20;
inline constexpr qsizetype kMaxPathBytes = 4096;

// The answer to a message taken.
inline constexpr char kAck = 'A';

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

// The probe.
QByteArray Probe();

class Reader {
public:
    enum class State { NeedMore, Complete, Probe, Malformed };

    // Takes the next bytes of the stream. Bytes after a complete message or a probe
    // make it malformed: a sender writes one message per connection.
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

// Decodes one whole documents message; nothing when it is not exactly one.
std::optional<QList<QByteArray>> Decode(const QByteArray& message);

} // namespace handover
