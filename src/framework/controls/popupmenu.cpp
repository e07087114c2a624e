// Popup menu over QComboBox.
#include "framework/controls/popupmenu.h"

#include "framework/runtime/dispatch.h"

#include <QComboBox>
#include <QSignalBlocker>

PopupMenu::PopupMenu() : Control(new QComboBox), combo_(static_cast<QComboBox*>(Widget()))
{
    // Like a push button, the list takes the focus from the keyboard only.
    combo_->setFocusPolicy(Qt::TabFocus);
    // Change follows every change of the chosen row, the program's as well.
    QObject::connect(combo_, &QComboBox::currentIndexChanged, [this](int) {
        if (Change)
            Dispatch([this] { Change(*this); });
    });
}

// Filling the list is no choice of a row: Qt's own choice of the first row added
// to an empty list fires no Change.
void PopupMenu::AddRow(const QString& text)
{
    const QSignalBlocker quiet(combo_);
    combo_->addItem(text);
}

void PopupMenu::AddRows(const QStringList& rows)
{
    const QSignalBlocker quiet(combo_);
    combo_->addItems(rows);
}

void PopupMenu::DeleteAllRows()
{
    const QSignalBlocker quiet(combo_);
    combo_->clear();
}

qint64 PopupMenu::ListCount() const { return combo_->count(); }

QString PopupMenu::List(qint64 row) const
{
    if (row < 0 || row >= combo_->count())
        return {};
    return combo_->itemText(int(row));
}

qint64 PopupMenu::ListIndex() const { return combo_->currentIndex(); }

void PopupMenu::SetListIndex(qint64 row)
{
    combo_->setCurrentIndex(row < 0 || row >= combo_->count() ? -1 : int(row));
}

QString PopupMenu::Text() const { return combo_->currentText(); }

void PopupMenu::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}
