// Image button over QToolButton: checked state is the Value, shown as pressed.
#include "framework/controls/bevelbutton.h"

#include "framework/runtime/dispatch.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolButton>

namespace {

// The style's pressed bevel is barely greyer than its raised one, and in a row of
// sticky buttons the one in force must show at a glance: a pressed button is drawn
// clearly darker than the button colour, sunk in by a shadow along its top and left
// edges and a light line along its bottom and right. Whole points, so the edge is
// as sharp at every scale.
void DrawPressedBevel(QPainter& p, const QRect& r, const QColor& button)
{
    const QColor face = button.darker(145);
    p.fillRect(r, face);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), face.darker(210));
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), face.darker(210));
    p.fillRect(QRect(r.left() + 1, r.top() + 1, r.width() - 2, 1), face.darker(125));
    p.fillRect(QRect(r.left() + 1, r.top() + 1, 1, r.height() - 2), face.darker(125));
    p.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), button.lighter(110));
    p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), button.lighter(110));
}

} // namespace

// The style would fit an icon into the bevel's inset, shrinking a 14 x 16 icon on
// a 14 x 16 button until its finest strokes smear; here the bevel is drawn first
// and the icon over it at its own size, centred, on whole points so that it stays
// pixel for pixel at every scale.
class BevelButtonWidget : public QToolButton {
public:
    std::shared_ptr<Picture> icon;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter p(this);
        QStyleOptionToolButton bevel;
        initStyleOption(&bevel);
        bevel.icon = QIcon();
        if (bevel.state & (QStyle::State_On | QStyle::State_Sunken)) {
            DrawPressedBevel(p, rect(), palette().color(QPalette::Button));
            p.drawControl(QStyle::CE_ToolButtonLabel, bevel);
        } else {
            p.drawComplexControl(QStyle::CC_ToolButton, bevel);
        }
        if (icon)
            p.drawImage(QPoint(int(width() - icon->Width()) / 2, int(height() - icon->Height()) / 2),
                        icon->Image());
    }
};

BevelButton::BevelButton() : Control(new BevelButtonWidget), button_(static_cast<QToolButton*>(Widget()))
{
    button_->setCheckable(true);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolButtonStyle(Qt::ToolButtonTextOnly);
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
}

void BevelButton::SetIcon(std::shared_ptr<Picture> icon)
{
    icon_ = std::move(icon);
    static_cast<BevelButtonWidget*>(button_)->icon = icon_;
    button_->update();
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
