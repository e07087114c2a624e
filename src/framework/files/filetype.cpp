// File types and their registry.
#include "framework/files/filetype.h"

#include <algorithm>

FileType::~FileType() = default;

void FileType::Changing()
{
    if (registered_)
        Deregister();
}

void FileType::SetName(const QString& v) { Changing(); name_ = v; }
void FileType::SetExtensions(const QString& v) { Changing(); extensions_ = v; }
void FileType::SetMacType(const QString& v) { Changing(); macType_ = v; }
void FileType::SetMacCreator(const QString& v) { Changing(); macCreator_ = v; }
void FileType::SetMimeType(const QString& v) { Changing(); mimeType_ = v; }
void FileType::SetImported(bool v) { Changing(); imported_ = v; }
void FileType::SetConformsTo(const QString& v) { Changing(); conformsTo_ = v; }
void FileType::SetUTI(const QString& v) { Changing(); uti_ = v; }

void FileType::Register()
{
    if (registered_)
        return;
    FileTypeRegistry::Instance().Register({name_, macCreator_, macType_, extensions_, uti_});
    registered_ = true;
}

void FileType::Deregister()
{
    if (!registered_)
        return;
    FileTypeRegistry::Instance().Deregister(name_);
    registered_ = false;
}

QString FileType::ToText()
{
    Register();
    return name_;
}

FileTypeRegistry& FileTypeRegistry::Instance()
{
    static FileTypeRegistry registry;
    return registry;
}

void FileTypeRegistry::Register(const Entry& entry)
{
    // A name is known once: a new registration under it replaces the old one.
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == entry.name; });
    if (it != entries_.end())
        *it = entry;
    else
        entries_.push_back(entry);
}

void FileTypeRegistry::Deregister(const QString& name)
{
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == name; });
    if (it == entries_.end())
        return;
    entries_.erase(it);
}

const FileTypeRegistry::Entry* FileTypeRegistry::Find(const QString& name) const
{
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == name; });
    return it == entries_.end() ? nullptr : &*it;
}

void FileTypeRegistry::Clear()
{
    entries_.clear();
}
