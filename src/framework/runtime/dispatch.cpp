// The dispatch wrapper and the unhandled-exception report.
#include "framework/runtime/dispatch.h"

#include "framework/runtime/exceptions.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

UnhandledExceptionReporter& Reporter()
{
    static UnhandledExceptionReporter reporter = DefaultUnhandledExceptionReporter;
    return reporter;
}

// A message box runs a nested event loop, in which a timer may raise again; the
// nested reports go to stderr only instead of stacking boxes.
bool boxShowing = false;

} // namespace

std::exception_ptr CallFunctionWithExceptionHandling(const std::function<void()>& fn)
{
    try {
        if (fn)
            fn();
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

bool Dispatch(const std::function<void()>& fn)
{
    if (auto error = CallFunctionWithExceptionHandling(fn)) {
        UnhandledException(error);
        return false;
    }
    return true;
}

QString DescribeException(std::exception_ptr error)
{
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeException& e) {
        QString text = e.ClassName();
        if (!e.Message().isEmpty())
            text += QStringLiteral(": ") + e.Message();
        if (e.ErrorNumber() != 0)
            text += QStringLiteral(" (error %1)").arg(e.ErrorNumber());
        return text;
    } catch (const std::exception& e) {
        return QStringLiteral("exception: ") + QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown exception");
    }
}

void UnhandledException(std::exception_ptr error)
{
    const QString report = DescribeException(error);
    // A reporter that raises must not take the event loop down with it.
    try {
        if (Reporter())
            Reporter()(report);
    } catch (...) {
        std::fprintf(stderr, "Quorvanel: the exception report failed\n");
    }
}

UnhandledExceptionReporter SetUnhandledExceptionReporter(UnhandledExceptionReporter reporter)
{
    UnhandledExceptionReporter previous = std::move(Reporter());
    Reporter() = std::move(reporter);
    return previous;
}

void DefaultUnhandledExceptionReporter(const QString& report)
{
    std::fprintf(stderr, "Quorvanel: unhandled %s\n", report.toLocal8Bit().constData());
    std::fflush(stderr);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || boxShowing
        || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    boxShowing = true;
    QMessageBox::critical(nullptr, QStringLiteral("Quorvanel"),
                          QStringLiteral("An unhandled exception occurred:\n") + report);
    boxShowing = false;
}
