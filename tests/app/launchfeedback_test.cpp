// Launch feedback's words: the startup-notification "remove" message for an id,
// and the launch's time read from an id.
#include "app/launchfeedback.h"

#include <gtest/gtest.h>

using namespace launch_feedback;

TEST(LaunchFeedback, RemoveMessageQuotesOnlyAnIdThatNeedsIt)
{
    EXPECT_EQ(RemoveMessage("host-1234-5_TIME99"), "remove: ID=host-1234-5_TIME99");
    EXPECT_EQ(RemoveMessage("a b"), "remove: ID=\"a b\"");
    EXPECT_EQ(RemoveMessage("q\"\\"), "remove: ID=\"q\\\"\\\\\"");
}

TEST(LaunchFeedback, LaunchTimeIsTheNumberAfterTheLastTimeMarkOrNothing)
{
    const std::pair<const char*, std::optional<quint32>> cases[] = {
        {"host_TIME4242", 4242u},           {"a_TIME5_TIME7", 7u},         {"x_TIME4294967295", 4294967295u},
        {"x_TIME4294967296", std::nullopt}, {"x_TIME0", std::nullopt},     {"x_TIME", std::nullopt},
        {"x_TIME12a", std::nullopt},        {"x_TIME+5", std::nullopt},    {"x_TIME 5", std::nullopt},
        {"no time here", std::nullopt},     {"", std::nullopt},
    };
    for (const auto& [id, time] : cases)
        EXPECT_EQ(LaunchTime(id), time) << id;
}
