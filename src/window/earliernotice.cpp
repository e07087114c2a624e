// The notice of cut-off saves, from the records beside the copies
// (framework/files/earlierbytes.h).
#include "window/earliernotice.h"

#include "framework/files/earlierbytes.h"
#include "window/usermessage.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <functional>

namespace {

// The copies told of since the program started.
QSet<QByteArray>& ToldThisSession()
{
    static QSet<QByteArray> told;
    return told;
}

// One message per file for the copies wanted and not yet told of in this session;
// each is noted as told once its message has been seen.
void Tell(const std::function<bool(const LeftEarlierBytes&)>& wanted)
{
    QList<QByteArray> files;
    QHash<QByteArray, std::vector<LeftEarlierBytes>> copies;
    for (LeftEarlierBytes& left : FindLeftEarlierBytes()) {
        if (!wanted(left) || ToldThisSession().contains(left.copy))
            continue;
        if (!copies.contains(left.file))
            files << left.file;
        copies[left.file].push_back(std::move(left));
    }
    for (const QByteArray& file : files) {
        QStringList paths;
        for (const LeftEarlierBytes& left : copies[file]) {
            ToldThisSession().insert(left.copy);
            paths << QFile::decodeName(left.copy);
        }
        ShowUserMessage(CutOffSaveText(QFile::decodeName(file), paths));
        for (const LeftEarlierBytes& left : copies[file])
            if (!left.told)
                MarkEarlierBytesTold(left.copy);
    }
}

}  // namespace

void TellOfCutOffSaves()
{
    Tell([](const LeftEarlierBytes& left) { return !left.told; });
}

void TellOfCutOffSavesOf(const QString& path)
{
    const QByteArray file = RecordedPath(QFile::encodeName(path));
    Tell([&file](const LeftEarlierBytes& left) { return left.file == file; });
}

void NoteEarlierBytesTold(const QString& copy)
{
    const QByteArray native = QFile::encodeName(copy);
    ToldThisSession().insert(native);
    MarkEarlierBytesTold(native);
}

QString CutOffSaveText(const QString& file, const QStringList& copies)
{
    QStringList quoted;
    for (const QString& copy : copies)
        quoted << QLatin1Char('"') + QDir::toNativeSeparators(copy) + QLatin1Char('"');
    const QString where = copies.size() == 1
        ? QStringLiteral("Its earlier bytes are kept whole in %1.").arg(quoted[0])
        : QStringLiteral("Its saves were cut off %1 times; the earlier bytes before each are kept whole in %2, the latest first.")
              .arg(copies.size())
              .arg(quoted.join(QStringLiteral(", ")));
    return QStringLiteral("A save of the file \"%1\" was cut off before it ended, so the file may hold part of the new "
                          "bytes. %2")
        .arg(QDir::toNativeSeparators(file), where);
}
