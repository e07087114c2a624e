// Timer over a precise QTimer.
#include "framework/controls/timer.h"

#include "framework/runtime/dispatch.h"

#include <QTimer>
#include <limits>

Timer::Timer() : Control(nullptr), timer_(new QTimer)
{
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, [this] { Fire(); });
}

Timer::~Timer() { delete timer_; }

void Timer::SetMode(qint64 mode)
{
    // Choosing the mode it already runs in keeps the wait under way.
    if (mode == mode_ && timer_->isActive())
        return;
    mode_ = mode;
    Restart();
}

void Timer::SetPeriod(qint64 milliseconds)
{
    period_ = qMax<qint64>(0, milliseconds);
    Restart();
}

void Timer::Restart()
{
    timer_->stop();
    if (mode_ != ModeSingle && mode_ != ModeMultiple)
        return;
    timer_->setSingleShot(mode_ == ModeSingle);
    timer_->start(int(qMin<qint64>(period_, std::numeric_limits<int>::max())));
}

void Timer::Fire()
{
    if (mode_ == ModeSingle)
        mode_ = ModeOff;
    if (Action)
        Dispatch([this] { Action(*this); });
}
