// Shared helpers of the framework tests: collecting unhandled-exception reports,
// a temporary folder, and simulated drops.
#pragma once

#include "framework/dispatch.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

// Collects reports while it lives, then puts the previous reporter back.
class ReportCollector {
public:
    ReportCollector()
    {
        previous_ = SetUnhandledExceptionReporter([this](const QString& r) { reports.append(r); });
    }
    ~ReportCollector() { SetUnhandledExceptionReporter(std::move(previous_)); }
    QStringList reports;

private:
    UnhandledExceptionReporter previous_;
};

inline QMimeData* FileMime(const QString& path)
{
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

inline QMimeData* TextMime(const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

// Drags the data onto the widget and drops it there; true when the drop was taken.
inline bool DropOn(QWidget* target, QMimeData* data)
{
    const QPointF pos(5, 5);
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    bool taken = false;
    if (enter.isAccepted()) {
        QDropEvent drop(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        taken = drop.isAccepted();
    }
    delete data;
    return taken;
}
