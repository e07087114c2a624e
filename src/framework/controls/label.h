// A one-line text label.
#pragma once

#include "framework/controls/control.h"

#include <QString>
#include <functional>

class QLabel;

class Label : public Control {
public:
    Label();

    QString Text() const;
    void SetText(const QString& text);

    std::function<void(Label&)> Open;
    void FireOpen() override;

private:
    QLabel* label_;
};
