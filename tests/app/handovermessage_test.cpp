// The hand-over message: round trips, and every kind of malformed or oversized
// input turned away, also when it arrives in pieces.
#include "app/handovermessage.h"

#include <QtEndian>
#include <gtest/gtest.h>

using handover::Reader;

namespace {

QByteArray Be32(quint32 n)
{
    n = qToBigEndian(n);
    return QByteArray(reinterpret_cast<const char*>(&n), 4);
}

QByteArray Message(const QByteArray& payload) { return QByteArrayLiteral("QVOPEN1\n") + Be32(payload.size()) + payload; }
QByteArray Entry(const QByteArray& path) { return Be32(path.size()) + path; }

} // namespace

TEST(HandOverMessage, PathsSurviveTheRoundTripInOrderAlsoWhenTheyArriveByteByByte)
{
    const QList<QByteArray> paths = {"/tmp/a.mid", QStringLiteral("/home/u/日本語 file.bin").toUtf8(), "/x/with\nnewline",
                                     "/not/utf-8/\xff\xfe.bin"};
    const handover::Packed packed = handover::Encode(paths);
    ASSERT_EQ(packed.carried, paths.size());
    const QByteArray& message = packed.message;
    EXPECT_EQ(handover::Decode(message), paths);
    Reader reader;
    for (qsizetype i = 0; i + 1 < message.size(); ++i)
        ASSERT_EQ(reader.Feed(message.mid(i, 1)), Reader::State::NeedMore) << "byte " << i;
    EXPECT_EQ(reader.Feed(message.right(1)), Reader::State::Complete);
    EXPECT_EQ(reader.Paths(), paths);

    // The probe is a message of its own, also when it comes byte by byte.
    EXPECT_EQ(handover::Probe(), QByteArrayLiteral("QVPING1\n"));
    Reader probe;
    for (char c : QByteArrayLiteral("QVPING1"))
        ASSERT_EQ(probe.Feed(QByteArray(1, c)), Reader::State::NeedMore);
    EXPECT_EQ(probe.Feed("\n"), Reader::State::Probe);
    EXPECT_TRUE(probe.Paths().isEmpty());
    EXPECT_FALSE(handover::Decode(handover::Probe()).has_value());
}

// An oversized header is refused before any of its payload arrives.
TEST(HandOverMessage, MalformedOrOversizedInputIsTurnedAwayAsSoonAsItShows)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"another protocol", QByteArrayLiteral("GET / HTTP/1.1\r\n\r\n")},
        {"wrong mark version", QByteArrayLiteral("QVOPEN2\n") + Be32(0)},
        {"bytes after the probe", QByteArrayLiteral("QVPING1\n/")},
        {"probe mark cut and another begun", QByteArrayLiteral("QVPINQVOPEN1\n")},
        {"entry longer than the payload", Message(Be32(10) + "/abc")},
        {"entry length cut short", Message(QByteArrayLiteral("\0\0"))},
        {"relative path", Message(Entry("abc"))},
        {"empty path", Message(Entry(""))},
        {"NUL inside a path", Message(Entry(QByteArray("/a\0b", 4)))},
        {"path over the limit", Message(Entry("/" + QByteArray(handover::kMaxPathBytes, 'x')))},
        {"bytes after the message", Message(Entry("/a")) + "trailing"},
        {"payload over the limit", QByteArrayLiteral("QVOPEN1\n") + Be32(quint32(handover::kMaxPayload) + 1)},
        {"largest length", QByteArrayLiteral("QVOPEN1\n") + Be32(0xFFFFFFFFu)},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_FALSE(handover::Decode(bytes).has_value()) << what;
        Reader reader;
        EXPECT_EQ(reader.Feed(bytes), Reader::State::Malformed) << what;
    }
}
