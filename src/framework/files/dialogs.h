// The open and save dialogs, behind one replaceable seam. Cancel gives nothing.
// The filter "accept/all" (and the empty filter) offers every file.
#pragma once

#include "framework/files/folderitem.h"

#include <QString>
#include <deque>
#include <memory>
#include <vector>

FolderItemPtr GetOpenFolderItem(const QString& filter);
FolderItemPtr GetSaveFolderItem(const QString& filter, const QString& defaultName);

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual FolderItemPtr Open(const QString& filter) = 0;
    virtual FolderItemPtr Save(const QString& filter, const QString& defaultName) = 0;
};

// The dialogs every call goes to; Set returns the previous ones. The default is
// QtFileDialogs.
std::shared_ptr<FileDialogs> SetFileDialogs(std::shared_ptr<FileDialogs> dialogs);

class QtFileDialogs : public FileDialogs {
public:
    FolderItemPtr Open(const QString& filter) override;
    FolderItemPtr Save(const QString& filter, const QString& defaultName) override;
    // The Qt name filter for a filter text.
    static QString NameFilter(const QString& filter);
};

// Answers from a script, in order: a path, or an empty string for a cancel. With
// the script used up every dialog is cancelled. Records each request.
class ScriptedFileDialogs : public FileDialogs {
public:
    struct Request {
        bool save;
        QString filter, defaultName;
    };
    void Answer(const QString& path) { answers_.push_back(path); }
    void Cancel() { answers_.push_back(QString()); }
    const std::vector<Request>& Requests() const { return requests_; }

    FolderItemPtr Open(const QString& filter) override;
    FolderItemPtr Save(const QString& filter, const QString& defaultName) override;

private:
    FolderItemPtr Next();
    std::deque<QString> answers_;
    std::vector<Request> requests_;
};
