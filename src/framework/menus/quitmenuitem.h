// The menu item whose own action quits the application.
#pragma once

#include "framework/menus/menuitem.h"

class QuitMenuItem : public MenuItem {
protected:
    void DefaultAction() override;
};
