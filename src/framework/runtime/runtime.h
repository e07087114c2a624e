// The process's run: Qt brought up, the late start-up step run once on the main
// thread after initialisation, the event loop, Quit with the code that becomes
// the exit status.
#pragma once

#include <functional>
#include <memory>

class QApplication;

// Qt for the length of main: held on main's stack, so the QApplication goes
// before static destruction takes Qt's own statics away under it. Makes the
// QApplication, with the program's name, version and desktop entry, unless one
// exists already (a test's). Qt is given the program's name only: every argument
// on the command line belongs to the program.
class Runtime {
public:
    Runtime(int argc, char** argv);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

private:
    // Qt keeps a reference to these for the QApplication's whole life.
    int qtArgc_ = 1;
    char* qtArgv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Queues lateStartup to run once, through the dispatch wrapper, as soon as the
// event loop starts.
void RunFrameworkInitialization(std::function<void()> lateStartup);
// Runs the event loop until Quit; gives the quit code.
int RuntimeRun();
// Asks the event loop to end with that code; a request while a quit is under way
// is accepted and changes nothing.
void Quit(long long code = 0);
bool QuitRequested();
// The exit status: the code given to Quit (0 when none).
int RuntimeExit();
