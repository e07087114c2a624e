// The application object's events.
#include "app/app.h"

#include "window/mw.h"

void App::Constructor() {}

void App::Event_OpenDocument(FolderItemPtr item)
{
    if (!item)
        return;
    MW::Instance().DropOpen(std::move(item));
}

void App::Event_Open() {}
