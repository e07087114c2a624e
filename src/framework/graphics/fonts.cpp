// Font resolution.
#include "framework/graphics/fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace {

QString JapaneseFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* candidate : {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic"})
            if (families.contains(QLatin1String(candidate)))
                return QString::fromLatin1(candidate);
        return QString();
    }();
    return family;
}

} // namespace

QFont ResolveFont(const QString& name, double size)
{
    QFont font = QApplication::font();
    if (name.compare(QLatin1String("Osaka"), Qt::CaseInsensitive) == 0) {
        if (!JapaneseFamily().isEmpty())
            font.setFamily(JapaneseFamily());
    } else if (!name.isEmpty() && name.compare(QLatin1String("System"), Qt::CaseInsensitive) != 0) {
        font.setFamily(name);
    }
    // Stored sizes count points of a 72-dpi layout, where a point is a pixel, like
    // every place and size of the controls; as Qt points they would come out a
    // third larger on a 96-dpi desktop and overflow their controls.
    if (size > 0)
        font.setPixelSize(qMax(1, qRound(size)));
    return font;
}
