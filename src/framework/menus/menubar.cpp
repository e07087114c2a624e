// Showing a menu bar's menus in a Qt menu bar.
#include "framework/menus/menubar.h"

#include <QMenu>
#include <QMenuBar>

void MenuBar::Populate(QMenuBar& bar)
{
    for (qint64 i = 0; i < Count(); ++i) {
        MenuItem* menu = Item(i);
        bar.addMenu(menu->QtMenu());
    }
}
