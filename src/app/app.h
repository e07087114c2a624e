// App, the application object: a document that the desktop hands over goes to the
// main window's drop-open, the window being built first when there is none yet.
#pragma once

#include "framework/runtime/application.h"

class App : public Application {
public:
    void Constructor();

protected:
    void Event_OpenDocument(FolderItemPtr item) override;
    void Event_Open() override;
};
