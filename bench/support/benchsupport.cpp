// The benchmark programs' shared main and measurements.
#include "support/benchsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <sys/resource.h>

namespace bench {

namespace {

// A /proc/self/status field in KiB, 0 when it cannot be read.
qint64 StatusKiB(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

}  // namespace

double DdMs(const QString& from, const QString& to)
{
    QProcess dd;
    QElapsedTimer t;
    t.start();
    dd.start(QStringLiteral("dd"), {"if=" + from, "of=" + to, QStringLiteral("bs=1M"), QStringLiteral("conv=fsync"),
                                    QStringLiteral("status=none")});
    if (!dd.waitForFinished(-1) || dd.exitStatus() != QProcess::NormalExit || dd.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

void UseOffscreenUnlessSet(bool useDisplay)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !(useDisplay && !qEnvironmentVariableIsEmpty("DISPLAY")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

namespace {
bool peakWasReset = false;
}

double PeakRssMiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    // ru_maxrss is in KiB on Linux; VmHWM is the same figure where rusage lags.
    // Only VmHWM starts over when the peak is reset.
    const qint64 rusageKiB = peakWasReset ? 0 : u.ru_maxrss;
    return double(std::max<qint64>(StatusKiB("VmHWM"), rusageKiB)) / 1024.0;
}

double RssMiB() { return double(StatusKiB("VmRSS")) / 1024.0; }

bool ResetPeakRss()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    peakWasReset = f.open(QIODevice::WriteOnly) && f.write("5") == 1;
    return peakWasReset;
}

int RunBenchmarks(int argc, char** argv, const std::function<void()>& setUp,
                  const std::function<void()>& tearDown, bool useDisplay)
{
    UseOffscreenUnlessSet(useDisplay);
    QApplication app(argc, argv);
    if (setUp)
        setUp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (tearDown)
        tearDown();
    return 0;
}

}  // namespace bench
