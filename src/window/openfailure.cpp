// Open failure messages.
#include "window/openfailure.h"

#include "framework/files/wholefile.h"

#include <QDir>
#include <QLocale>

namespace {

QString Size(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat);
}

}  // namespace

QString OpenFailureText(const QString& path, const WholeFile& file)
{
    if (file.problem != WholeFile::Problem::TooLarge)
        return {};
    // A file cut off while it went on has no size to tell but that it is more.
    const QString holds = file.unended ? QStringLiteral("it holds more than ")
                                       : QStringLiteral("it holds %1, more than ").arg(Size(file.size));
    const QString why = holds
        + (file.available > 0 ? QStringLiteral("the %1 of memory that is free.").arg(Size(file.available))
                              : QStringLiteral("there is memory for."));
    return QStringLiteral("The file \"%1\" could not be opened: %2 The view is as it was.")
        .arg(QDir::toNativeSeparators(path), why);
}
