// The application object.
#include "framework/runtime/application.h"

#include "framework/runtime/dispatch.h"

namespace {
Application* registered = nullptr;
bool hiDpi = false;
} // namespace

Application::Application() = default;

Application::~Application()
{
    if (registered == this)
        registered = nullptr;
}

Application* Application::Instance() { return registered; }

void Application::Register() { registered = this; }

void Application::SetSupportsHiDPI(bool on) { hiDpi = on; }

bool Application::SupportsHiDPI() { return hiDpi; }

void Application::SetVersionData(qint64 major, qint64 minor, qint64 bug, qint64 nonRelease, qint64 stage,
                                 const QString& longVersion, const QString& shortVersion,
                                 const QString& packageInfo)
{
    major_ = major;
    minor_ = minor;
    bug_ = bug;
    nonRelease_ = nonRelease;
    stage_ = stage;
    longVersion_ = longVersion;
    shortVersion_ = shortVersion;
    packageInfo_ = packageInfo;
}

void Application::OpenDocument(FolderItemPtr item)
{
    Dispatch([&] { Event_OpenDocument(item); });
}

void Application::FireOpen()
{
    Dispatch([this] { Event_Open(); });
}
