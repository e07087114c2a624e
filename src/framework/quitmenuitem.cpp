// The quit item.
#include "framework/quitmenuitem.h"

#include "framework/runtime.h"

void QuitMenuItem::DefaultAction() { Quit(0); }
