// The run of the process over QApplication.
#include "framework/runtime/runtime.h"

#include "framework/runtime/dispatch.h"

#include <QApplication>
#include <QTimer>

#include <malloc.h>

namespace {
int quitCode = 0;
bool quitRequested = false;
} // namespace

Runtime::Runtime(int argc, char** argv)
{
    // One malloc arena for all threads, set before Qt starts any: glibc would reserve
    // 64 MiB of address space for each thread that allocates, so that under an
    // address-space limit the room weighed for a file (files/memoryroom.h) hung on
    // which threads had started, and those reservations took the room of the stacks
    // of threads yet to start. The program's own work runs on one thread.
    ::mallopt(M_ARENA_MAX, 1);
    if (QCoreApplication::instance())
        return;
    static char fallbackName[] = "quorvanel";
    qtArgv_[0] = argc > 0 && argv && argv[0] ? argv[0] : fallbackName;
    // Scaling for high-resolution screens is always on in Qt 6; unrounded factors
    // keep 125 % and 150 % screens sharp. The policy only counts before Qt starts.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvanel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    app_ = std::make_unique<QApplication>(qtArgc_, qtArgv_);
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvanel"));
}

Runtime::~Runtime() = default;

void RunFrameworkInitialization(std::function<void()> lateStartup)
{
    QTimer::singleShot(0, QCoreApplication::instance(), [step = std::move(lateStartup)] {
        if (!quitRequested)
            Dispatch(step);
    });
}

int RuntimeRun()
{
    // A quit asked for before the loop ran (say, by the late step) still ends it.
    if (quitRequested)
        return quitCode;
    QCoreApplication::exec();
    return quitCode;
}

void Quit(long long code)
{
    if (quitRequested)
        return;
    quitRequested = true;
    quitCode = static_cast<int>(code);
    QCoreApplication::exit(quitCode);
}

bool QuitRequested() { return quitRequested; }

int RuntimeExit() { return quitCode; }
