// Requests to end the program held while a save is under way: each waits for the
// last hold to end and then acts as it did before (here, in a child, a handler
// that counts them), and a save lets go of them as soon as it has ended.
#include "framework/files/savefile.h"
#include "framework/runtime/heldsignals.h"

#include "../common/inchild.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t counted[NSIG];
void Count(int signal) { counted[signal] = counted[signal] + 1; }
QByteArray Counted(int signal) { return QByteArray::number(int(counted[signal])); }

}  // namespace

TEST(HeldSignals, EachWaitsForTheLastOfOverlappingHoldsThenActsAsBefore)
{
    const std::optional<QByteArray> seen = InChild([]() -> std::optional<QByteArray> {
        QByteArray seen;
        for (const int signal : {SIGTERM, SIGHUP, SIGINT})
            std::signal(signal, Count);
        {
            const HeldSignals outer;
            {
                const HeldSignals inner;
                for (const int signal : {SIGTERM, SIGHUP, SIGINT})
                    std::raise(signal);
            }
            seen += Counted(SIGTERM) + Counted(SIGHUP) + Counted(SIGINT);
        }
        seen += Counted(SIGTERM) + Counted(SIGHUP) + Counted(SIGINT);
        std::signal(SIGHUP, SIG_IGN);  // ignored, not ending the child
        const HeldSignals again;
        std::raise(SIGHUP);
        return seen;
    });
    EXPECT_EQ(seen, QByteArray("000111"));
}

// A save that cannot begin, one whose write fails (a file size limit) through a
// temporary file and in place, and one committed: SIGTERM acts at once after each.
TEST(HeldSignals, ASaveHoldsThemFromOpenUntilItHasEndedHoweverItEnded)
{
    QTemporaryDir dir;
    QFile twoNames(dir.filePath("song.bin"));
    ASSERT_TRUE(twoNames.open(QIODevice::WriteOnly) && twoNames.write(QByteArray(512, 'e')) == 512);
    twoNames.close();
    ASSERT_EQ(::link(QFile::encodeName(twoNames.fileName()).constData(), QFile::encodeName(dir.filePath("b.bin")).constData()), 0);
    const std::optional<QByteArray> seen = InChild([&]() -> std::optional<QByteArray> {
        std::signal(SIGTERM, Count);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::setenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")).constData(), 1);
        ::setenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")).constData(), 1);
        QByteArray seen;
        for (const auto& [name, size] : {std::pair{"missing/a.bin", 0}, {"new.bin", 8192}, {"song.bin", 8192}, {"new.bin", 10}}) {
            counted[SIGTERM] = 0;
            SaveFile save(dir.filePath(name));
            if (save.Open()) {
                std::raise(SIGTERM);
                seen += Counted(SIGTERM);
                const QByteArray bytes(size, 'n');
                if (save.Write(bytes.constData(), size))
                    save.Commit();
            } else {
                std::raise(SIGTERM);
            }
            seen += Counted(SIGTERM) + ' ';
        }
        return seen;
    });
    EXPECT_EQ(seen, QByteArray("1 01 01 01 "));
}
