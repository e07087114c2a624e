// Push button over QPushButton.
#include "framework/controls/pushbutton.h"

#include "framework/runtime/dispatch.h"

#include <QPushButton>

PushButton::PushButton() : Control(new QPushButton), button_(static_cast<QPushButton*>(Widget()))
{
    button_->setAutoDefault(false);
    // As on the desktop the stored settings come from, a button takes the focus
    // from the keyboard only: a click leaves it where the user was typing.
    button_->setFocusPolicy(Qt::TabFocus);
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (Action)
            Dispatch([this] { Action(*this); });
    });
}

QString PushButton::Caption() const { return caption_; }

void PushButton::SetCaption(const QString& caption)
{
    // A literal "&" in a stored caption is shown, not a mnemonic marker.
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    button_->setText(shown);
    caption_ = caption;
}

void PushButton::Push() { button_->click(); }

void PushButton::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}
