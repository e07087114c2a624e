// The application object: version data, the menu bar it shows, its Open and
// OpenDocument events. The program's application class derives from it.
#pragma once

#include <QString>
#include <memory>

// Documents arrive as folder items; the runtime only passes them on.
class FolderItem;
using FolderItemPtr = std::shared_ptr<FolderItem>;

class MenuBar;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The registered application object, or null.
    static Application* Instance();
    // Makes this the application object; it receives the application's events.
    void Register();

    // Records whether the program declares itself ready for high-resolution
    // screens. Qt 6 scales for them in any case, with unrounded factors that the
    // runtime sets before Qt starts; by the time the program runs this, that
    // choice is made, so it changes nothing on screen.
    static void SetSupportsHiDPI(bool on);
    static bool SupportsHiDPI();

    void SetVersionData(qint64 major, qint64 minor, qint64 bug, qint64 nonRelease, qint64 stage,
                        const QString& longVersion, const QString& shortVersion,
                        const QString& packageInfo);
    qint64 MajorVersion() const { return major_; }
    qint64 MinorVersion() const { return minor_; }
    qint64 BugVersion() const { return bug_; }
    qint64 NonReleaseVersion() const { return nonRelease_; }
    qint64 StageCode() const { return stage_; }
    QString LongVersion() const { return longVersion_; }
    QString ShortVersion() const { return shortVersion_; }
    QString PackageInfo() const { return packageInfo_; }

    // Not owned: shared with the main window for the process's life.
    ::MenuBar* MenuBar() const { return menuBar_; }
    void SetMenuBar(::MenuBar* bar) { menuBar_ = bar; }

    // Hands a document to the program's OpenDocument event, through the dispatch
    // wrapper (the desktop's open-document request: command line, second launch).
    void OpenDocument(FolderItemPtr item);
    void FireOpen();

protected:
    virtual void Event_Open() {}
    virtual void Event_OpenDocument(FolderItemPtr /*item*/) {}

private:
    qint64 major_ = 0, minor_ = 0, bug_ = 0, nonRelease_ = 0, stage_ = 0;
    QString longVersion_, shortVersion_, packageInfo_;
    ::MenuBar* menuBar_ = nullptr;
};
