// A push button with a caption and an Action event.
#pragma once

#include "framework/controls/control.h"

#include <QString>
#include <functional>

class QPushButton;

class PushButton : public Control {
public:
    PushButton();

    QString Caption() const;
    void SetCaption(const QString& caption);

    // Clicks the button as the user would: fires Action.
    void Push();

    std::function<void(PushButton&)> Action;
    std::function<void(PushButton&)> Open;

    void FireOpen() override;

private:
    QPushButton* button_;
    QString caption_;
};
