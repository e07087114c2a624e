// Save failure messages.
#include "window/savefailure.h"

#include "window/usermessage.h"

#include "framework/files/binarystream.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The kernel follows no link of another user in a sticky folder all may write
// in, unless the folder is that user's too (fs.protected_symlinks).
bool IsGuardedLink(const QString& path)
{
    struct stat link {}, folder {};
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    return lstat(QFile::encodeName(path).constData(), &link) == 0 && S_ISLNK(link.st_mode) && link.st_uid != geteuid()
           && stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) == 0
           && (folder.st_mode & kShared) == kShared && folder.st_uid != link.st_uid;
}

// As the save itself asks: for the user it runs as, whatever the mode bits say.
bool May(const QString& path, int what)
{
    return faccessat(AT_FDCWD, QFile::encodeName(path).constData(), what, AT_EACCESS) == 0;
}

}  // namespace

QString CreateFailureReason(const QString& path, qint64 errorCode)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("the name is that of a folder.");
    if (info.exists() && !info.isFile())
        return QStringLiteral("the name is that of a device, a pipe or a socket, not of a file.");
    if (errorCode == EACCES && IsGuardedLink(path))
        return QStringLiteral("the name is a link of another user in a shared folder, which is not followed.");
    // A rewrite in place that found the file locked, or a file replaced as it was opened.
    if (errorCode == EAGAIN && info.isFile())
        return QStringLiteral("another program is saving the file.");
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder %1 does not exist.").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("%1 is not a folder.").arg(QDir::toNativeSeparators(folder.filePath()));
    // Whether and why a new file cannot be made there, in the system's own words.
    QTemporaryFile probe(folder.absoluteFilePath() + QStringLiteral("/.quorvanel-XXXXXX"));
    if (!probe.open())
        return QStringLiteral("the folder %1 cannot be written in (%2).")
            .arg(QDir::toNativeSeparators(folder.filePath()), probe.errorString());
    // The folder takes new files, so a refusal concerns the file itself. One that
    // may be written but not read was to be rewritten in place (it has another
    // name, another owner, attributes only its reader can copy), which reads it.
    if (info.exists() && errorCode == EACCES && May(path, W_OK) && !May(path, R_OK))
        return QStringLiteral("the file can be written but not read, and it can only be saved by rewriting it in "
                              "place, which reads it first.");
    if (info.exists() && (errorCode == EACCES || errorCode == EPERM))
        return QStringLiteral("the file is read-only.");
    return QStringLiteral("the file cannot be created (%1).").arg(QString::fromLocal8Bit(std::strerror(int(errorCode))));
}

QString WriteFailureReason(const QString& message, const QString& path)
{
    QString m = message;
    const qsizetype at = m.indexOf(path + QStringLiteral(": "));
    if (at >= 0)
        m = m.left(at).trimmed() + QStringLiteral(": ") + m.mid(at + path.size() + 2);
    return m.endsWith(QLatin1Char('.')) ? m : m + QLatin1Char('.');
}

QString SaveFailureText(const QString& path, const QString& reason, FileAfterFailure after, const QString& earlierCopy)
{
    const QString file = QDir::toNativeSeparators(path);
    if (after == FileAfterFailure::NewBytes)
        return QStringLiteral("The file \"%1\" holds the new bytes, synced whole, but then %2").arg(file, reason);
    QString outcome = after == FileAfterFailure::Unchanged
        ? QStringLiteral("Nothing was written.")
        : QStringLiteral("It was being rewritten in place, and it could not be put back as it was.");
    if (after == FileAfterFailure::NotPutBack && !earlierCopy.isEmpty())
        outcome += QStringLiteral(" Its earlier bytes are kept in \"%1\".").arg(QDir::toNativeSeparators(earlierCopy));
    return QStringLiteral("The file \"%1\" could not be saved: %2 %3").arg(file, reason, outcome);
}

void ReportSaveFailure(const QString& path, const QString& reason, FileAfterFailure after, const QString& earlierCopy)
{
    ShowUserMessage(SaveFailureText(path, reason, after, earlierCopy));
}

QString SaveEndText(const QString& path, const QString& failure, const BinaryStream& stream)
{
    QString text;
    if (!failure.isEmpty()) {
        const FileAfterFailure after = stream.HoldsNewBytes() ? FileAfterFailure::NewBytes
                                       : stream.LeftDamaged() ? FileAfterFailure::NotPutBack
                                                              : FileAfterFailure::Unchanged;
        text = SaveFailureText(path, WriteFailureReason(failure, path), after, stream.EarlierCopy());
    }
    if (stream.LeftCopy().isEmpty())
        return text;
    const QString left = QStringLiteral("The copy of its earlier bytes could not be removed (%1), and is left in \"%2\".")
                             .arg(stream.LeftCopyReason(), QDir::toNativeSeparators(stream.LeftCopy()));
    const QString saved = text.isEmpty() ? QStringLiteral("The file \"%1\" was saved.").arg(QDir::toNativeSeparators(path))
                                         : text;
    return saved + QLatin1Char(' ') + left;
}
