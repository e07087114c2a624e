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
    const QString why = file.available > 0
        ? QStringLiteral("it holds %1, more than the %2 of memory that is free.").arg(Size(file.size), Size(file.available))
        : QStringLiteral("it holds %1, more than there is memory for.").arg(Size(file.size));
    return QStringLiteral("The file \"%1\" could not be opened: %2 The view is as it was.")
        .arg(QDir::toNativeSeparators(path), why);
}
