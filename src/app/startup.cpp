// The start-up steps.
#include "app/startup.h"

#include "app/app.h"
#include "app/filetypes1.h"
#include "app/launchfeedback.h"
#include "framework/files/folderitem.h"
#include "framework/runtime/dispatch.h"
#include "framework/runtime/runtime.h"
#include "window/mainmenubar.h"
#include "window/mw.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <cstdio>
#include <memory>

namespace {

// The framework's hold on the application object, for the process's life.
std::unique_ptr<App>& AppObject()
{
    static std::unique_ptr<App> app;
    return app;
}

// Each path to the application object's OpenDocument, in order. A path that
// cannot be given to it is named on stderr, as the window has no word for it.
void OpenEach(const DocumentPaths& paths)
{
    for (const QByteArray& native : paths) {
        Application* app = Application::Instance();
        if (!app)
            return;
        QByteArray problem;
        if (FolderItemPtr item = FolderItem::FromNativePath(native, &problem))
            app->OpenDocument(std::move(item));
        else
            std::fprintf(stderr, "Quorvanel: %s\n", problem.constData());
    }
}

} // namespace

App* TheApp() { return AppObject().get(); }

void InitFileTypes() { FileTypes1::Module().Initialize(); }

void NewAppInstance()
{
    auto app = std::make_unique<App>();
    app->Constructor();
    app->SetVersionData(1, 0, 0, 0, 0, QString(), QString(), QString());
    app->SetMenuBar(&MainMenuBar::Instance());
    app->Register();
    AppObject() = std::move(app);
}

void ApplicationAddMenuHandlers() {}

void EarlyStartup()
{
    Application::SetSupportsHiDPI(true);
    // Qt's own classes and plug-ins are ready once the QApplication exists, so the
    // framework has nothing further to set up here.
    InitFileTypes();
    NewAppInstance();
    ApplicationAddMenuHandlers();
}

void MakeDefaultView() { (void)MW::Instance(); }

void LateStartup() { MakeDefaultView(); }

void HandOverDocuments(const DocumentPaths& paths)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [paths] { OpenEach(paths); },
        Qt::QueuedConnection);
}

void OpenHandedOverDocuments(const DocumentPaths& paths, const handover::Feedback& feedback)
{
    OpenEach(paths);
    Dispatch([&feedback] {
        QMainWindow* window = MW::Instance().QtWindow();
        if (window->isMinimized())
            window->showNormal();
        window->show();
        launch_feedback::BringToFront(window, feedback);
    });
}

bool Main(const DocumentPaths& documents, const StartupSteps& steps)
{
    // The framework runs all program code through its own dispatch wrapper, so no
    // exception routine needs installing.
    if (!Dispatch(steps.early))
        return false;

    if (Application* app = Application::Instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), [app] { app->FireOpen(); }, Qt::QueuedConnection);
    HandOverDocuments(documents);

    // A late step that fails leaves no window to close, so start-up ends there
    // rather than leaving a process nobody can see.
    auto lateFailed = std::make_shared<bool>(false);
    RunFrameworkInitialization([lateFailed, late = steps.late] {
        if (!Dispatch(late)) {
            *lateFailed = true;
            Quit(1);
        }
    });

    if (!Dispatch([] { RuntimeRun(); }))
        return false;
    return !*lateFailed;
}
