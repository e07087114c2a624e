// The folders the program keeps things in under the user's home, its cache and
// state homes, pointed for a run of a test program at a temporary folder of the
// run's own (on a file system that outlasts a restart, as the state folder must
// be), removed with everything in it when the run ends: the tests leave the
// user's home as they found it, and read nothing it holds. A test program that a
// run starts again (a death test's child) keeps the run's folder.
#pragma once

#include "common/diskfolder.h"
#include "common/removetree.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdlib>
#include <sys/stat.h>

class RunOwnHomes {
public:
    RunOwnHomes()
    {
        if (qEnvironmentVariableIsSet(kMark))
            return;
        QByteArray pattern = QFile::encodeName(OnDisk(QStringLiteral("quorvanel-test-homes")));
        if (!::mkdtemp(pattern.data()))
            return;
        folder_ = pattern;
        qputenv(kMark, folder_);
        for (const char* name : {"XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
            const QByteArray home = folder_ + "/" + name;
            ::mkdir(home.constData(), 0700);
            qputenv(name, home);
        }
    }
    ~RunOwnHomes()
    {
        if (!folder_.isEmpty())
            RemoveTree(folder_);
    }
    RunOwnHomes(const RunOwnHomes&) = delete;
    RunOwnHomes& operator=(const RunOwnHomes&) = delete;

private:
    static constexpr const char* kMark = "QUORVANEL_TEST_HOMES";
    QByteArray folder_;
};
