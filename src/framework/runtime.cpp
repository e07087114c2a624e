// The run of the process over QApplication.
#include "framework/runtime.h"

#include "framework/dispatch.h"

#include <QApplication>
#include <QTimer>

namespace {
int quitCode = 0;
bool quitRequested = false;
std::unique_ptr<QApplication> ownedApp;
} // namespace

void RuntimeInit(int& argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    QCoreApplication::setApplicationName(QStringLiteral("Quorvanel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    ownedApp = std::make_unique<QApplication>(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvanel"));
}

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
