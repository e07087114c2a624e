// What the Edit menu acts on: the focused text control's undo and clipboard operations.
#pragma once

class QWidget;

class EditTarget {
public:
    virtual ~EditTarget() = default;
    virtual void Undo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void DeleteSelection() = 0;
    virtual void SelectAll() = 0;

    // The edit target that owns the widget (or one of its ancestors), if any.
    static EditTarget* Of(QWidget* widget);

protected:
    static void Mark(QWidget* widget, EditTarget* target);
};
