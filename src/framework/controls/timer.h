// A timer on the main event loop: Mode 0 off, 1 once, 2 repeating; Period in
// milliseconds, the wait restarting whenever it is set; Period 0 fires as soon as
// the event loop can. Action runs through the dispatch wrapper.
#pragma once

#include "framework/controls/control.h"

#include <functional>

class QTimer;

class Timer : public Control {
public:
    enum { ModeOff = 0, ModeSingle = 1, ModeMultiple = 2 };

    Timer();
    ~Timer() override;

    qint64 Mode() const { return mode_; }
    void SetMode(qint64 mode);
    qint64 Period() const { return period_; }
    void SetPeriod(qint64 milliseconds);

    std::function<void(Timer&)> Action;

private:
    void Restart();
    void Fire();

    QTimer* timer_;
    qint64 mode_ = ModeOff;
    qint64 period_ = 0;
};
