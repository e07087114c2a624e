// The file type set: the table of the eight types and the build that registers them.
#include "app/filetypes1.h"

#include "framework/runtime/exceptions.h"

#include <optional>

namespace {

// One row of the set. A row without a UTI leaves the type's UTI untouched.
struct Row {
    FileTypes1::Type FileTypes1::*property;
    FileTypes1::Type (FileTypes1::*accessor)() const;
    const char* name;
    const char* extensions;
    const char* macType;
    const char* conformsTo;
    std::optional<const char*> uti;
};

} // namespace

FileTypes1& FileTypes1::Module()
{
    static FileTypes1 module;
    return module;
}

void FileTypes1::Initialize()
{
    // The PDF row's UTI is the identifier that the desktop's type system uses for
    // the format.
    static const Row rows[] = {
        {&FileTypes1::pRtf, &FileTypes1::Rtf, "application/rtf", ".rtf", "Rtf", "public. rtf", "RTF"},
        {&FileTypes1::pRTFD, &FileTypes1::RTFD, "application/rtfd", ".rtfd", "Rtfd", "public.rtfd", "RTFD"},
        {&FileTypes1::pTEXT, &FileTypes1::TEXT, "text/plain", ".txt", "TEXT", "public.data, public.content",
         "public.text"},
        {&FileTypes1::pPDF, &FileTypes1::PDF, "application/pdf", ".pdf", "PDF",
         "public.data, public.composite-content", "com.adobe.pdf"},
        {&FileTypes1::pHTML, &FileTypes1::HTML, "text/html", ".html", "TEXT", "public.data, public.content",
         "public.html"},
        {&FileTypes1::pXML, &FileTypes1::XML, "text/xml", ".xml", "Xml", "public.data, public.content",
         "public.html"},
        {&FileTypes1::pJSON, &FileTypes1::JSON, "text/json", ".json", "Json", "", "public.Json"},
        {&FileTypes1::pAny, &FileTypes1::Any, "Any", ".any", "????", "", std::nullopt},
    };

    for (const Row& row : rows) {
        Type& slot = this->*row.property;
        slot = std::make_shared<FileType>();
        FileType& type = *slot;
        // Every value is set before the first conversion below, so no setter
        // withdraws a registration.
        type.SetName(QString::fromUtf8(row.name));
        type.SetExtensions(QString::fromUtf8(row.extensions));
        type.SetMacType(QString::fromUtf8(row.macType));
        type.SetMacCreator(QString());
        type.SetMimeType(QString());
        type.SetImported(true);
        type.SetConformsTo(QString::fromUtf8(row.conformsTo));
        if (row.uti)
            type.SetUTI(QString::fromUtf8(*row.uti));

        pAllFileTypes.insert(pAllFileTypes.begin() + (AllFileTypesUbound() + 1), slot);

        // The conversion to text registers the type; its Name is not needed.
        (void)NotNil((this->*row.accessor)().get()).ToText();
    }
}
