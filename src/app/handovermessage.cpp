// Encoding and incremental decoding of the hand-over message.
#include "app/handovermessage.h"

#include <QtEndian>

namespace handover {

namespace {

const QByteArray kMark = QByteArrayLiteral("QVOPEN2\n");
const QByteArray kProbe = QByteArrayLiteral("QVPING1\n");  // as long as kMark
constexpr qsizetype kHeader = 8 + 4;

// Why a path cannot travel in a message; empty when it can.
QString Unacceptable(const QByteArray& bytes)
{
    if (!bytes.startsWith('/'))
        return QStringLiteral("not an absolute path");
    if (bytes.size() > kMaxPathBytes)
        return QStringLiteral("longer than the %1 bytes a path may have").arg(kMaxPathBytes);
    if (bytes.contains('\0'))
        return QStringLiteral("contains a NUL byte");
    return {};
}

void AppendEntry(QByteArray& out, const QByteArray& bytes)
{
    char b[4];
    qToBigEndian(static_cast<quint32>(bytes.size()), b);
    out.append(b, 4);
    out += bytes;
}

quint32 LengthAt(const QByteArray& in, qsizetype at)
{
    return qFromBigEndian<quint32>(in.constData() + at);
}

} // namespace

Packed Encode(const QList<QByteArray>& paths, const Feedback& feedback)
{
    Packed packed;
    QByteArray payload;
    AppendEntry(payload, feedback.startupId);
    AppendEntry(payload, feedback.activationToken);
    for (const QByteArray& path : paths) {
        QString reason = Unacceptable(path);
        if (reason.isEmpty() && payload.size() + 4 + path.size() > kMaxPayload)
            reason = QStringLiteral("the paths of one launch may take %1 bytes in all").arg(kMaxPayload);
        if (!reason.isEmpty()) {
            packed.refused.append({path, reason});
            continue;
        }
        AppendEntry(payload, path);
        ++packed.carried;
    }
    packed.message = kMark;
    AppendEntry(packed.message, payload);
    return packed;
}

QByteArray Probe() { return kProbe; }

Reader::State Reader::Feed(const QByteArray& bytes)
{
    if (state_ != State::NeedMore) {
        if (!bytes.isEmpty())
            state_ = State::Malformed;
        return state_;
    }
    buffer_ += bytes;
    state_ = Parse();
    if (state_ != State::NeedMore)
        buffer_.clear();
    return state_;
}

Reader::State Reader::Parse()
{
    // The mark is checked byte by byte as it arrives, so a stranger speaking
    // another protocol is turned away at once.
    const qsizetype markSeen = qMin(buffer_.size(), kMark.size());
    if (buffer_.left(markSeen) == kProbe.left(markSeen)) {
        if (buffer_.size() < kProbe.size())
            return State::NeedMore;
        return buffer_.size() == kProbe.size() ? State::Probe : State::Malformed;
    }
    if (buffer_.left(markSeen) != kMark.left(markSeen))
        return State::Malformed;
    if (buffer_.size() < kHeader)
        return State::NeedMore;
    const quint32 payloadSize = LengthAt(buffer_, kMark.size());
    if (payloadSize > static_cast<quint32>(kMaxPayload))
        return State::Malformed;
    const qsizetype total = kHeader + static_cast<qsizetype>(payloadSize);
    if (buffer_.size() < total)
        return State::NeedMore;
    if (buffer_.size() > total)
        return State::Malformed;

    // The startup id and the token come first, then the paths: each whole, and no
    // NUL, which would cut the id short in the desktop's message.
    QList<QByteArray> entries;
    qsizetype at = kHeader;
    while (at < total) {
        if (total - at < 4)
            return State::Malformed;
        const quint32 n = LengthAt(buffer_, at);
        at += 4;
        if (n > static_cast<quint32>(total - at))
            return State::Malformed;
        const QByteArray bytes = buffer_.mid(at, static_cast<qsizetype>(n));
        if (entries.size() < 2 ? bytes.contains('\0') : !Unacceptable(bytes).isEmpty())
            return State::Malformed;
        entries << bytes;
        at += static_cast<qsizetype>(n);
    }
    if (entries.size() < 2)
        return State::Malformed;
    feedback_ = {entries[0], entries[1]};
    paths_ = entries.mid(2);
    return State::Complete;
}

std::optional<QList<QByteArray>> Decode(const QByteArray& message)
{
    Reader reader;
    if (reader.Feed(message) != Reader::State::Complete)
        return std::nullopt;
    return reader.Paths();
}

} // namespace handover
