// The application's one menu bar, shared by the application object and the main
// window: File with Quit; Edit with Undo, Cut, Copy, Paste, Delete and Select All.
#pragma once

#include "framework/menus/menubar.h"

class MainMenuBar : public MenuBar {
public:
    // MainMenuBar.MainMenuBar: the shared bar, built on the first call and kept for
    // the process's life. An exception during the build stores nothing.
    static MainMenuBar& Instance();

    MainMenuBar();

private:
    void Untitled0();  // the File menu
    void Untitled1();  // the Edit menu
    // Adds one item to the bar (menu empty) or to the named menu of the bar.
    void AddItem(const char* menu, std::unique_ptr<MenuItem> item, const char* name,
                 const char* caption, const char* shortcut);
};
