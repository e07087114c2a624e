// The process's run: Qt brought up, the late start-up step run once on the main
// thread after initialisation, the event loop, Quit with the code that becomes
// the exit status.
#pragma once

#include <functional>

// Creates the QApplication (unless one exists) with the program's name.
void RuntimeInit(int& argc, char** argv);
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
