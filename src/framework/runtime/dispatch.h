// The one wrapper through which the framework runs program code (events, timer
// actions, the late start-up step), and the report of an exception that escapes it.
#pragma once

#include <QString>
#include <exception>
#include <functional>

// Runs fn; gives the exception that escaped it, or null when it completed.
std::exception_ptr CallFunctionWithExceptionHandling(const std::function<void()>& fn);

// Runs fn; an escaped exception goes to UnhandledException and false is returned,
// so the event loop goes on.
bool Dispatch(const std::function<void()>& fn);

// As Dispatch, for handlers with a result: the fallback when fn raised.
template <class R>
R DispatchResult(const std::function<R()>& fn, R fallback)
{
    R result = fallback;
    if (!Dispatch([&] { result = fn(); }))
        return fallback;
    return result;
}

// The framework's report of an exception that nothing handled.
void UnhandledException(std::exception_ptr error);

// The text of a report: the exception's class and message.
QString DescribeException(std::exception_ptr error);

// Where reports go. The default writes to stderr and shows a message box (none on
// the offscreen platform, where nobody could close it). Tests install their own.
using UnhandledExceptionReporter = std::function<void(const QString& report)>;
UnhandledExceptionReporter SetUnhandledExceptionReporter(UnhandledExceptionReporter reporter);
void DefaultUnhandledExceptionReporter(const QString& report);
