// Image button over QToolButton: checked state is the Value, shown as pressed.
#include "framework/controls/bevelbutton.h"

#include "framework/runtime/dispatch.h"

#include <QIcon>
#include <QPixmap>
#include <QToolButton>

BevelButton::BevelButton() : Control(new QToolButton), button_(static_cast<QToolButton*>(Widget()))
{
    button_->setCheckable(true);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // A click changes Value by the style, not by Qt's own toggling.
    QObject::connect(button_, &QToolButton::clicked, [this](bool) { Clicked(); });
}

QString BevelButton::Caption() const { return caption_; }

void BevelButton::SetCaption(const QString& caption)
{
    caption_ = caption;
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    button_->setText(shown);
    button_->setToolButtonStyle(icon_ ? (caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                           : Qt::ToolButtonTextUnderIcon)
                                      : Qt::ToolButtonTextOnly);
}

void BevelButton::SetIcon(std::shared_ptr<Picture> icon)
{
    icon_ = std::move(icon);
    if (icon_) {
        button_->setIcon(QIcon(QPixmap::fromImage(icon_->Image())));
        button_->setIconSize(QSize(int(icon_->Width()), int(icon_->Height())));
    } else {
        button_->setIcon(QIcon());
    }
    SetCaption(caption_);
}

void BevelButton::SetButtonStyle(int style) { style_ = style; }

bool BevelButton::Value() const { return value_; }

void BevelButton::SetValue(bool pressed)
{
    value_ = pressed;
    button_->setChecked(pressed);
}

void BevelButton::Push() { button_->click(); }

void BevelButton::Clicked()
{
    if (style_ == 1)
        SetValue(!value_);
    else if (style_ == 2)
        SetValue(true);
    else
        SetValue(value_);
    if (Action)
        Dispatch([this] { Action(*this); });
}

void BevelButton::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}
