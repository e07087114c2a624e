// Requests to end the program held while a save is under way: each waits for the
// last hold to end and then acts as it would have, and a save lets go of them as
// soon as it has ended, however it ended.
#include "framework/files/savefile.h"
#include "framework/runtime/heldsignals.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int stepsFd = -1;
void Step(char c) { (void)!::write(stepsFd, &c, 1); }

// Runs body in a child: the steps it took (Step) and the signal that ended it,
// 0 when none did.
std::pair<QByteArray, int> InChildUntilSignal(const std::function<void()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {"<no pipe>", -1};
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        stepsFd = fds[1];
        body();
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray steps;
    for (char c; child > 0 && ::read(fds[0], &c, 1) == 1;)
        steps += c;
    ::close(fds[0]);
    int status = -1;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return {steps, -1};
    return {steps, WIFSIGNALED(status) ? WTERMSIG(status) : status == 0 ? 0 : -1};
}

}  // namespace

TEST(HeldSignals, ARequestToEndWaitsForTheLastHoldThenActsAsItWould)
{
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        for (const bool ignored : {false, true}) {
            const auto [steps, ended] = InChildUntilSignal([&] {
                std::signal(signal, ignored ? SIG_IGN : SIG_DFL);
                std::optional<HeldSignals> outer(std::in_place);
                {
                    const HeldSignals inner;
                    ::kill(::getpid(), signal);
                }
                Step('h');  // held until the outer hold ends
                outer.reset();
                Step('i');
            });
            EXPECT_EQ(steps, QByteArray(ignored ? "hi" : "h")) << strsignal(signal);
            EXPECT_EQ(ended, ignored ? 0 : signal) << strsignal(signal);
        }
}

// A save that cannot begin, one whose write fails (through a temporary file and
// in place, a file size limit cutting it) and one committed.
TEST(HeldSignals, ASaveHoldsThemFromOpenUntilItHasEndedHoweverItEnded)
{
    QTemporaryDir dir;
    const QString twoNames = dir.filePath("song.bin");
    QFile file(twoNames);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(512, 'e')) == 512);
    file.close();
    ASSERT_EQ(::link(QFile::encodeName(twoNames).constData(), QFile::encodeName(dir.filePath("b.bin")).constData()), 0);
    const struct {
        QString path;
        bool fails;
        const char* steps;
    } cases[] = {{dir.filePath("missing/a.bin"), true, ""}, {dir.filePath("new.bin"), true, "h"},
                 {twoNames, true, "h"}, {dir.filePath("new.bin"), false, "h"}};
    for (const auto& c : cases) {
        const auto [steps, ended] = InChildUntilSignal([&] {
            ::setenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")).constData(), 1);
            ::setenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")).constData(), 1);
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = c.fails ? 1024 : limit.rlim_cur;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            SaveFile save(c.path);
            if (save.Open()) {
                std::raise(SIGTERM);
                Step('h');
                const QByteArray bytes(c.fails ? 8192 : 10, 'n');
                if (save.Write(bytes.constData(), bytes.size()))
                    save.Commit();
            }
            std::raise(SIGTERM);  // the save has ended: at once
            Step('x');
        });
        EXPECT_EQ(steps, QByteArray(c.steps)) << qPrintable(c.path);
        EXPECT_EQ(ended, SIGTERM) << qPrintable(c.path);
    }
}
