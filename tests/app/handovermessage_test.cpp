// The hand-over message: round trips, and every kind of malformed or oversized
// input turned away, also when it arrives in pieces.
#include "app/handovermessage.h"

#include <QtEndian>
#include <gtest/gtest.h>

using handover::Reader;

namespace {

QByteArray Be32(quint32 n)
{
    char b[4];
    qToBigEndian(n, b);
    return QByteArray(b, 4);
}

QByteArray Message(const QByteArray& payload) { return QByteArrayLiteral("QVOPEN1\n") + Be32(payload.size()) + payload; }

QByteArray Entry(const QByteArray& path) { return Be32(path.size()) + path; }

} // namespace

TEST(HandOverMessage, PathsSurviveTheRoundTripInOrder)
{
    const QStringList paths = {QStringLiteral("/tmp/a.mid"), QStringLiteral("/home/u/日本語 file.bin"),
                               QStringLiteral("/x/with\nnewline")};
    const auto message = handover::Encode(paths);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(handover::Decode(*message), paths);
}

TEST(HandOverMessage, EncoderRefusesPathsItCouldNotSendSafely)
{
    EXPECT_FALSE(handover::Encode({QStringLiteral("relative/path")}));
    EXPECT_FALSE(handover::Encode({QString()}));
    EXPECT_FALSE(handover::Encode({QStringLiteral("/") + QString(handover::kMaxPathBytes, QLatin1Char('a'))}));
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("/") + QString(4000, QLatin1Char('b'));
    EXPECT_FALSE(handover::Encode(many));
}

TEST(HandOverMessage, ReaderCompletesOnlyOnceTheWholeMessageArrivedByteByByte)
{
    const QByteArray message = *handover::Encode({QStringLiteral("/a"), QStringLiteral("/bc")});
    Reader reader;
    for (qsizetype i = 0; i + 1 < message.size(); ++i)
        ASSERT_EQ(reader.Feed(message.mid(i, 1)), Reader::State::NeedMore) << "byte " << i;
    EXPECT_EQ(reader.Feed(message.right(1)), Reader::State::Complete);
    EXPECT_EQ(reader.Paths(), (QStringList{QStringLiteral("/a"), QStringLiteral("/bc")}));
}

TEST(HandOverMessage, MalformedInputIsTurnedAway)
{
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"another protocol", QByteArrayLiteral("GET / HTTP/1.1\r\n\r\n")},
        {"wrong mark version", QByteArrayLiteral("QVOPEN2\n") + Be32(0)},
        {"entry longer than the payload", Message(Be32(10) + "/abc")},
        {"entry length cut short", Message(QByteArrayLiteral("\0\0"))},
        {"relative path", Message(Entry("abc"))},
        {"empty path", Message(Entry(""))},
        {"NUL inside a path", Message(Entry(QByteArray("/a\0b", 4)))},
        {"path over the limit", Message(Entry("/" + QByteArray(handover::kMaxPathBytes, 'x')))},
        {"bytes after the message", Message(Entry("/a")) + "trailing"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(handover::Decode(c.bytes).has_value()) << c.what;
        Reader reader;
        EXPECT_EQ(reader.Feed(c.bytes), Reader::State::Malformed) << c.what;
    }
}

TEST(HandOverMessage, OversizedPayloadIsTurnedAwayFromItsHeaderAlone)
{
    Reader reader;
    const QByteArray header = QByteArrayLiteral("QVOPEN1\n") + Be32(quint32(handover::kMaxPayload) + 1);
    EXPECT_EQ(reader.Feed(header), Reader::State::Malformed);
    Reader huge;
    EXPECT_EQ(huge.Feed(QByteArrayLiteral("QVOPEN1\n") + Be32(0xFFFFFFFFu)), Reader::State::Malformed);
}

TEST(HandOverMessage, StrangerIsTurnedAwayAtItsFirstWrongByte)
{
    Reader reader;
    EXPECT_EQ(reader.Feed("QV"), Reader::State::NeedMore);
    EXPECT_EQ(reader.Feed("X"), Reader::State::Malformed);
    EXPECT_EQ(reader.Feed("OPEN1\n"), Reader::State::Malformed);
}
