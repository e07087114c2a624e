// The file dialogs: QFileDialog by default, replaceable as a whole.
#include "framework/files/dialogs.h"

#include "framework/files/filetype.h"

#include <QApplication>
#include <QFileDialog>

namespace {

std::shared_ptr<FileDialogs>& Current()
{
    static std::shared_ptr<FileDialogs> current = std::make_shared<QtFileDialogs>();
    return current;
}

FolderItemPtr ItemFor(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    return std::make_shared<FolderItem>(path);
}

} // namespace

FolderItemPtr GetOpenFolderItem(const QString& filter) { return Current()->Open(filter); }

FolderItemPtr GetSaveFolderItem(const QString& filter, const QString& defaultName)
{
    return Current()->Save(filter, defaultName);
}

std::shared_ptr<FileDialogs> SetFileDialogs(std::shared_ptr<FileDialogs> dialogs)
{
    std::shared_ptr<FileDialogs> previous = std::move(Current());
    Current() = dialogs ? std::move(dialogs) : std::make_shared<QtFileDialogs>();
    return previous;
}

QString QtFileDialogs::NameFilter(const QString& filter)
{
    // The filter names registered file types separated by ";"; "accept/all",
    // the empty filter and names nobody registered offer every file.
    QStringList patterns;
    for (const QString& name : filter.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const FileTypeRegistry::Entry* e = FileTypeRegistry::Instance().Find(name.trimmed());
        if (!e)
            continue;
        for (QString ext : e->extensions.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            ext = ext.trimmed();
            if (ext.startsWith(QLatin1Char('.')))
                ext.remove(0, 1);
            if (!ext.isEmpty())
                patterns << QStringLiteral("*.") + ext;
        }
    }
    const QString all = QStringLiteral("All files (*)");
    if (patterns.isEmpty())
        return all;
    return filter + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(");;") + all;
}

FolderItemPtr QtFileDialogs::Open(const QString& filter)
{
    return ItemFor(QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), QString(),
                                                NameFilter(filter)));
}

FolderItemPtr QtFileDialogs::Save(const QString& filter, const QString& defaultName)
{
    return ItemFor(QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), defaultName,
                                                NameFilter(filter)));
}

FolderItemPtr ScriptedFileDialogs::Next()
{
    if (answers_.empty())
        return nullptr;
    const QString path = answers_.front();
    answers_.pop_front();
    return ItemFor(path);
}

FolderItemPtr ScriptedFileDialogs::Open(const QString& filter)
{
    requests_.push_back({false, filter, QString()});
    return Next();
}

FolderItemPtr ScriptedFileDialogs::Save(const QString& filter, const QString& defaultName)
{
    requests_.push_back({true, filter, defaultName});
    return Next();
}
