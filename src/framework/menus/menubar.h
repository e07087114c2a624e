// A menu bar: a MenuItem whose children are the menus, shown by each window that
// carries it.
#pragma once

#include "framework/menus/menuitem.h"

class QMenuBar;

class MenuBar : public MenuItem {
public:
    // Fills a Qt menu bar with this bar's menus (the same actions for every window).
    void Populate(QMenuBar& bar);
};
