// The dispatch wrapper and the unhandled-exception report.
#include "framework/dispatch.h"
#include "framework/exceptions.h"
#include "helpers.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(Dispatch, EscapedExceptionIsReportedAndDispatchGoesOn)
{
    ReportCollector c;
    EXPECT_FALSE(Dispatch([] { throw NilObjectException(); }));
    EXPECT_TRUE(Dispatch([] {}));
    ASSERT_EQ(c.reports.size(), 1);
    EXPECT_TRUE(c.reports[0].startsWith(QStringLiteral("NilObjectException")));
}

TEST(Dispatch, ReportNamesClassMessageAndErrorCode)
{
    EXPECT_EQ(DescribeException(std::make_exception_ptr(IOException(QStringLiteral("cannot open x"), 2))),
              QStringLiteral("IOException: cannot open x (error 2)"));
    EXPECT_EQ(DescribeException(std::make_exception_ptr(InvalidArgumentException(QStringLiteral("bad")))),
              QStringLiteral("InvalidArgumentException: bad"));
    EXPECT_TRUE(DescribeException(std::make_exception_ptr(std::runtime_error("boom"))).contains(QStringLiteral("boom")));
    EXPECT_EQ(DescribeException(std::make_exception_ptr(42)), QStringLiteral("unknown exception"));
}

TEST(Dispatch, ResultFallsBackWhenHandlerRaises)
{
    ReportCollector c;
    EXPECT_TRUE(DispatchResult<bool>([] { return true; }, false));
    EXPECT_TRUE(DispatchResult<bool>([]() -> bool { throw NilObjectException(); }, true));
    EXPECT_EQ(c.reports.size(), 1);
}

TEST(Dispatch, CallWithExceptionHandlingGivesTheExceptionInsteadOfReporting)
{
    ReportCollector c;
    EXPECT_EQ(CallFunctionWithExceptionHandling([] {}), nullptr);
    std::exception_ptr e = CallFunctionWithExceptionHandling([] { throw IOException(QStringLiteral("x"), 5); });
    ASSERT_NE(e, nullptr);
    try {
        std::rethrow_exception(e);
    } catch (const IOException& io) {
        EXPECT_EQ(io.ErrorNumber(), 5);
    }
    EXPECT_TRUE(c.reports.isEmpty());
}

TEST(Dispatch, ReporterThatRaisesDoesNotEscape)
{
    auto previous = SetUnhandledExceptionReporter([](const QString&) { throw std::runtime_error("again"); });
    EXPECT_NO_THROW(Dispatch([] { throw NilObjectException(); }));
    SetUnhandledExceptionReporter(previous);
}

TEST(Exceptions, NotNilRaisesForNilAndGivesTheObjectOtherwise)
{
    int x = 3;
    EXPECT_EQ(&NotNil(&x), &x);
    EXPECT_THROW(NotNil(static_cast<int*>(nullptr)), NilObjectException);
}
