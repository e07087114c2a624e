// The messages a later launch sends the running instance, one per connection, each
// answered with the single byte 'A' once taken:
//   documents: "QVOPEN2\n", the payload's length (4 bytes, big-endian), then the
//              launch's startup id and its activation token, then each path,
//              each as its length (4 bytes, big-endian) and its bytes;
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

// What the launch was given for the desktop's launch feedback, each empty when it
// had none: its startup-notification id (X11) and its activation token (Wayland).
// The running window ends that feedback with them.
struct Feedback {
    QByteArray startupId;
    QByteArray activationToken;
    bool operator==(const Feedback&) const = default;
};

// A path that a message cannot carry, and why, in words for the user.
struct Refusal {
    QByteArray path;
    QString reason;
};

// What a message takes of some paths (bytes, absolute): every acceptable one, in
// order, as long as the whole stays within its limit; the others are refused one
// by one, so that one bad path does not cost the rest. The feedback always travels:
// the system keeps each variable far below the limit.
struct Packed {
    QByteArray message;
    qsizetype carried = 0;
    QList<Refusal> refused;
};
Packed Encode(const QList<QByteArray>& paths, const Feedback& feedback = {});

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
    const handover::Feedback& Feedback() const { return feedback_; }

private:
    State Parse();

    QByteArray buffer_;
    QList<QByteArray> paths_;
    handover::Feedback feedback_;
    State state_ = State::NeedMore;
};

// Decodes one whole documents message; nothing when it is not exactly one.
std::optional<QList<QByteArray>> Decode(const QByteArray& message);

} // namespace handover
