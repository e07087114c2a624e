// Finding the edit target of a widget: the control marks its widget.
#include "framework/menus/edittarget.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kProperty = "qv_edittarget";
}

void EditTarget::Mark(QWidget* widget, EditTarget* target)
{
    widget->setProperty(kProperty, QVariant::fromValue(static_cast<void*>(target)));
}

EditTarget* EditTarget::Of(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(kProperty);
        if (v.isValid())
            return static_cast<EditTarget*>(v.value<void*>());
    }
    return nullptr;
}
