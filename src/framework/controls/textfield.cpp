// Text field over QLineEdit, which takes dropped text but leaves files to its window.
#include "framework/controls/textfield.h"

#include "framework/files/dragitem.h"
#include "framework/runtime/dispatch.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QPalette>
#include <limits>

namespace {

// A drag that brings a file goes on to the window, which opens the file as it does
// wherever else it lands; QLineEdit would type the file's URL in as text.
class FieldEdit final : public QLineEdit {
protected:
    bool event(QEvent* e) override
    {
        const bool drag = e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove || e->type() == QEvent::Drop;
        if (!drag || !DragItem::BringsFile(*static_cast<QDropEvent*>(e)->mimeData()))
            return QLineEdit::event(e);
        e->ignore();
        return true;
    }
};

} // namespace

TextField::TextField() : Control(new FieldEdit), edit_(static_cast<QLineEdit*>(Widget()))
{
    Mark(edit_, this);
    SetMaximumCharactersAllowed(0);
}

QString TextField::Text() const { return edit_->text(); }
void TextField::SetText(const QString& text) { edit_->setText(text); }
QString TextField::Hint() const { return edit_->placeholderText(); }
void TextField::SetHint(const QString& hint) { edit_->setPlaceholderText(hint); }
bool TextField::ReadOnly() const { return edit_->isReadOnly(); }
void TextField::SetReadOnly(bool readOnly) { edit_->setReadOnly(readOnly); }

void TextField::SetMaximumCharactersAllowed(qint64 count)
{
    maxChars_ = count;
    // Qt's own default stops a field at 32,767 characters.
    edit_->setMaxLength(count > 0 && count < std::numeric_limits<int>::max() ? int(count)
                                                                             : std::numeric_limits<int>::max());
}

void TextField::SetBackgroundColor(Color c)
{
    background_ = c;
    QPalette pal = edit_->palette();
    pal.setColor(QPalette::Base, c.ToQColor());
    edit_->setPalette(pal);
    // A transparent base only shows through when Qt does not fill the frame itself.
    edit_->setAttribute(Qt::WA_TranslucentBackground, c.alpha != 0);
    edit_->setAutoFillBackground(false);
}

void TextField::FireOpen()
{
    if (Open)
        Dispatch([this] { Open(*this); });
}

void TextField::Undo() { edit_->undo(); }
void TextField::Cut() { edit_->cut(); }
void TextField::Copy() { edit_->copy(); }
void TextField::Paste() { edit_->paste(); }

void TextField::DeleteSelection()
{
    // Delete acts on the selection only, never on the character after the caret.
    if (!edit_->isReadOnly() && edit_->hasSelectedText())
        edit_->del();
}

void TextField::SelectAll() { edit_->selectAll(); }
