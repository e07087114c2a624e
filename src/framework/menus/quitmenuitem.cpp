// The quit item.
#include "framework/menus/quitmenuitem.h"

#include "framework/runtime/runtime.h"

void QuitMenuItem::DefaultAction() { Quit(0); }
