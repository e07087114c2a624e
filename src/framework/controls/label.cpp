// Label over QLabel; its text is shown as plain text.
#include "framework/controls/label.h"

#include "framework/runtime/dispatch.h"

#include <QLabel>

Label::Label() : Control(new QLabel), label_(static_cast<QLabel*>(Widget()))
{
    label_->setTextFormat(Qt::PlainText);
}

QString Label::Text() const { return label_->text(); }
void Label::SetText(const QString& text) { label_->setText(text); }

void Label::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}
