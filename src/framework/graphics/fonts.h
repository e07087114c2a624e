// Font names of the stored settings mapped onto the fonts of this desktop.
#pragma once

#include <QFont>
#include <QString>

// "System": the desktop's default font; "Osaka": a Japanese-capable sans font
// (IPA Gothic where installed, else the default font); any other name as given.
// Size 0 keeps the default size; other sizes are pixels, as the controls'
// places and sizes are.
QFont ResolveFont(const QString& name, double size);
