// The application's file type set: eight file type records built once at early
// start-up, each registered with the framework's file-type registry, reachable
// through an accessor each and through a list in a fixed order.
#pragma once

#include "framework/files/filetype.h"

#include <memory>
#include <vector>

class FileTypes1 {
public:
    using Type = std::shared_ptr<FileType>;

    // The process's one set, the one that start-up builds.
    static FileTypes1& Module();

    // Builds the eight entries and registers each. Appends to the list without
    // emptying it first.
    void Initialize();

    // Null until the set is built.
    Type Rtf() const { return pRtf; }
    Type RTFD() const { return pRTFD; }
    Type TEXT() const { return pTEXT; }
    Type PDF() const { return pPDF; }
    Type HTML() const { return pHTML; }
    Type XML() const { return pXML; }
    Type JSON() const { return pJSON; }
    Type Any() const { return pAny; }

    const std::vector<Type>& AllFileTypes() const { return pAllFileTypes; }
    // -1 while the list is empty.
    qint64 AllFileTypesUbound() const { return static_cast<qint64>(pAllFileTypes.size()) - 1; }

private:
    Type pRtf, pRTFD, pTEXT, pPDF, pHTML, pXML, pJSON, pAny;
    std::vector<Type> pAllFileTypes;
};
