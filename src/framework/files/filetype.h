// A file type record and the framework's registry of file types. Registration
// passes Name, MacCreator, MacType, Extensions and UTI; a setter on a registered
// type withdraws the registration first.
#pragma once

#include <QString>
#include <vector>

class FileType {
public:
    FileType() = default;
    ~FileType();
    FileType(const FileType&) = delete;
    FileType& operator=(const FileType&) = delete;

    QString Name() const { return name_; }
    void SetName(const QString& v);
    QString Extensions() const { return extensions_; }
    void SetExtensions(const QString& v);
    QString MacType() const { return macType_; }
    void SetMacType(const QString& v);
    QString MacCreator() const { return macCreator_; }
    void SetMacCreator(const QString& v);
    QString MimeType() const { return mimeType_; }
    void SetMimeType(const QString& v);
    bool Imported() const { return imported_; }
    void SetImported(bool v);
    QString ConformsTo() const { return conformsTo_; }
    void SetConformsTo(const QString& v);
    QString UTI() const { return uti_; }
    void SetUTI(const QString& v);

    void Register();
    void Deregister();

    // The conversion to text: registers the type unless it is registered, and
    // gives its Name.
    QString ToText();
    operator QString() { return ToText(); }

private:
    void Changing();

    QString name_, extensions_, macType_, macCreator_, mimeType_, conformsTo_, uti_;
    bool imported_ = false;
    bool registered_ = false;
};

// The process's file-type registry: the current entries.
class FileTypeRegistry {
public:
    struct Entry {
        QString name, macCreator, macType, extensions, uti;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    static FileTypeRegistry& Instance();

    void Register(const Entry& entry);
    void Deregister(const QString& name);
    const std::vector<Entry>& Entries() const { return entries_; }
    const Entry* Find(const QString& name) const;
    void Clear();

private:
    std::vector<Entry> entries_;
};
