// The hand-over message: round trips, the launch's feedback with the paths, and
// every kind of malformed or oversized input turned away, also when it arrives in
// pieces.
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

QByteArray Entry(const QByteArray& path) { return Be32(path.size()) + path; }
// A message with no startup id and no token before the payload's paths.
QByteArray Message(const QByteArray& paths, const QByteArray& feedback = Entry("") + Entry(""))
{
    return QByteArrayLiteral("QVOPEN2\n") + Be32(feedback.size() + paths.size()) + feedback + paths;
}

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
        {"an earlier build's message", QByteArrayLiteral("QVOPEN1\n") + Be32(6) + Entry("/a")},
        {"no feedback", Message("", "")},
        {"token missing", Message("", Entry("id"))},
        {"NUL inside the startup id", Message(Entry("/a"), Entry(QByteArray("i\0d", 3)) + Entry(""))},
        {"NUL inside the token", Message("", Entry("") + Entry(QByteArray("t\0", 2)))},
        {"bytes after the probe", QByteArrayLiteral("QVPING1\n/")},
        {"probe mark cut and another begun", QByteArrayLiteral("QVPINQVOPEN1\n")},
        {"entry longer than the payload", Message(Be32(10) + "/abc")},
        {"entry length cut short", Message(QByteArrayLiteral("\0\0"))},
        {"relative path", Message(Entry("abc"))},
        {"empty path", Message(Entry(""))},
        {"NUL inside a path", Message(Entry(QByteArray("/a\0b", 4)))},
        {"path over the limit", Message(Entry("/" + QByteArray(handover::kMaxPathBytes, 'x')))},
        {"bytes after the message", Message(Entry("/a")) + "trailing"},
        {"payload over the limit", QByteArrayLiteral("QVOPEN2\n") + Be32(quint32(handover::kMaxPayload) + 1)},
        {"largest length", QByteArrayLiteral("QVOPEN2\n") + Be32(0xFFFFFFFFu)},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_FALSE(handover::Decode(bytes).has_value()) << what;
        Reader reader;
        EXPECT_EQ(reader.Feed(bytes), Reader::State::Malformed) << what;
    }
}

// The startup id and the token travel before the paths as the launch had them,
// whatever their bytes, also with no path; they count towards the message's limit,
// so that a message the paths fill is still taken whole.
TEST(HandOverMessage, LaunchFeedbackTravelsBeforeThePathsAsTheLaunchHadIt)
{
    const handover::Feedback feedback {"host 1 \"q\"\\_TIME4242", "tok\xff\n"};
    const QByteArray ids = Entry(feedback.startupId) + Entry(feedback.activationToken);
    EXPECT_EQ(handover::Encode({"/a", "/b"}, feedback).message, Message(Entry("/a") + Entry("/b"), ids));
    for (const QList<QByteArray>& paths : {QList<QByteArray>{}, QList<QByteArray>{"/a", "/b"}}) {
        Reader reader;
        ASSERT_EQ(reader.Feed(handover::Encode(paths, feedback).message), Reader::State::Complete);
        EXPECT_EQ(reader.Paths(), paths);
        EXPECT_EQ(reader.Feedback(), feedback);
    }

    const handover::Feedback large {QByteArray(100000, 'i'), QByteArray(100000, 't')};
    const QList<QByteArray> paths(300, "/" + QByteArray(3999, 'p'));
    const handover::Packed full = handover::Encode(paths, large);
    // (1 MiB - 2 * (4 + 100000)) / (4 + 4000) paths fit.
    EXPECT_EQ(full.carried, 211);
    Reader reader;
    ASSERT_EQ(reader.Feed(full.message), Reader::State::Complete);
    EXPECT_EQ(reader.Feedback(), large);
}
