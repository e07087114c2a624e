// What the benchmark programs share: the Qt platform they run on, a Google
// Benchmark main inside a QApplication, and the process's peak resident memory.
#pragma once

#include <QString>

#include <functional>

namespace bench {

// The offscreen platform, unless one was chosen; with useDisplay, a display that is
// there is used too, so that a real window can be measured on it.
void UseOffscreenUnlessSet(bool useDisplay = false);

// The peak resident memory of this process so far, in MiB.
double PeakRssMiB();
// The resident memory now, in MiB.
double RssMiB();

// What dd takes to copy from to to and sync the copy (bs=1M conv=fsync), in ms;
// -1 when it fails. The peer every save is measured against.
double DdMs(const QString& from, const QString& to);

// Starts the peak over from the memory resident now, so that the next PeakRssMiB
// tells what one step needed (Linux's clear_refs); false where it cannot.
bool ResetPeakRss();

// Runs the benchmarks the command line names in a QApplication on the offscreen
// platform. setUp runs once the application exists, tearDown before it goes.
// Gives 1 for an argument Google Benchmark does not know.
int RunBenchmarks(int argc, char** argv, const std::function<void()>& setUp = {},
                  const std::function<void()>& tearDown = {}, bool useDisplay = false);

}  // namespace bench
