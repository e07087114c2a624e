// A one-line text field with a hint and a background colour; dropped text goes into
// it, dropped files on to its window.
#pragma once

#include "framework/controls/control.h"
#include "framework/graphics/colour.h"
#include "framework/menus/edittarget.h"

#include <QString>
#include <functional>

class QLineEdit;

class TextField : public Control, public EditTarget {
public:
    TextField();

    QString Text() const;
    void SetText(const QString& text);
    QString Hint() const;
    void SetHint(const QString& hint);
    // Alpha 255 makes the field's background fully transparent.
    Color BackgroundColor() const { return background_; }
    void SetBackgroundColor(Color c);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    // The most characters the field takes; 0, as at the start, is no limit.
    qint64 MaximumCharactersAllowed() const { return maxChars_; }
    void SetMaximumCharactersAllowed(qint64 count);

    std::function<void(TextField&)> Open;
    void FireOpen() override;

    void Undo() override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void DeleteSelection() override;
    void SelectAll() override;

private:
    QLineEdit* edit_;
    Color background_{255, 255, 255, 0};
    qint64 maxChars_ = 0;
};
