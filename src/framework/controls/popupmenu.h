// A popup menu of text rows with the chosen row as ListIndex; Change fires whenever
// the chosen row changes, by the user or by the program.
#pragma once

#include "framework/controls/control.h"

#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;

class PopupMenu : public Control {
public:
    PopupMenu();

    // Adding rows fires no Change (the first row of an empty list is chosen).
    void AddRow(const QString& text);
    void AddRows(const QStringList& rows);
    void DeleteAllRows();
    qint64 ListCount() const;
    QString List(qint64 row) const;

    // The chosen row from 0, -1 for none; out-of-range values choose none.
    qint64 ListIndex() const;
    void SetListIndex(qint64 row);
    QString Text() const;

    std::function<void(PopupMenu&)> Open;
    std::function<void(PopupMenu&)> Change;
    void FireOpen() override;

private:
    QComboBox* combo_;
};
