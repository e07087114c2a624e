// Files of the main window: opening and dropping into the hex view, and saving the
// track text as a Standard MIDI File or as raw bytes.
#include "window/mw.h"

#include "framework/files/binarystream.h"
#include "framework/files/dialogs.h"
#include "framework/files/wholefile.h"
#include "framework/runtime/dispatch.h"
#include "framework/runtime/exceptions.h"
#include "track/dumprows.h"
#include "track/midifile.h"
#include "track/rawfile.h"
#include "track/singledump.h"
#include "window/earliernotice.h"
#include "window/openfailure.h"
#include "window/savefailure.h"
#include "window/usermessage.h"
#include "window/tracktextof.h"

#include <QCoreApplication>

#include <optional>

namespace {

const QString kAnyFile = QStringLiteral("accept/all");

// The chosen file of the open dialog, or null on cancel or when it is gone.
FolderItemPtr ChooseExistingFile()
{
    FolderItemPtr item = GetOpenFolderItem(kAnyFile);
    if (!item || !item->Exists())
        return nullptr;
    return item;
}

// The whole file, or nothing when it cannot be read; the user hears why when the
// reason is one a user could not guess, and, once the file shows, where its
// earlier bytes are when a save of it was cut off.
std::optional<QByteArray> ReadWhole(const FolderItem& item)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [path = item.NativePath()] { (void)Dispatch([&] { TellOfCutOffSavesOf(path); }); },
        Qt::QueuedConnection);
    WholeFile file = ReadWholeFile(item.NativePath());
    if (file.problem == WholeFile::Problem::None)
        return std::move(file.bytes);
    if (const QString text = OpenFailureText(item.DisplayPath(), file); !text.isEmpty())
        ShowUserMessage(text);
    return std::nullopt;
}

// Writes bytes as a new file at item: all of them or, on any failure, nothing at
// all (an earlier file of the name stays), with the user told why and, in the
// rare cases that an earlier file could not be kept or its copy not removed, that
// too. The parts are built block by block as they go.
void WriteFile(FolderItem& item, const QString& type, const track::ByteParts& bytes)
{
    const QString path = item.NativePath();
    std::unique_ptr<BinaryStream> stream = item.CreateBinaryFile(type);
    if (!stream) {
        ReportSaveFailure(path, CreateFailureReason(path, item.LastErrorCode()));
        return;
    }
    QString failure;
    try {
        bytes.write([&stream](const char* data, qsizetype n) { stream->Write(QByteArray::fromRawData(data, n)); });
        stream->Close();
    } catch (const IOException& e) {
        failure = e.Message();
    }
    // A copy of the earlier bytes that the message names has been told of.
    if (!stream->EarlierCopy().isEmpty())
        NoteEarlierBytesTold(stream->EarlierCopy());
    if (const QString text = SaveEndText(path, failure, *stream); !text.isEmpty())
        ShowUserMessage(text);
}

}  // namespace

void MW::DropOpen(FolderItemPtr item)
{
    const std::optional<QByteArray> bytes = ReadWhole(NotNil(item.get()));
    if (!bytes)
        return;  // the three columns keep what they show
    // The columns hold the texts as computed from the one copy of the bytes.
    const track::DumpTexts dump = track::DumpRows(*bytes);
    BinaryTa().SetTextRows(dump.hex);
    HedderTa().SetTextRows(dump.address);
    FutterTa().SetTextRows(dump.characters);
}

void MW::OpenFileBynary()
{
    if (FolderItemPtr item = ChooseExistingFile())
        DropOpen(item);
}

void MW::FileOpenButton_Action(PushButton&) { OpenFileBynary(); }

void MW::Event_DropObject(DragItem& item, qint64)
{
    if (item.FolderItemAvailable())
        DropOpen(item.FolderItem());
}

void MW::BinaryTa_DropObject(TextArea&, DragItem& item, qint64)
{
    if (item.FolderItemAvailable())
        DropOpen(item.FolderItem());
}

void MW::OpenBinaryFile()
{
    FolderItemPtr item = ChooseExistingFile();
    if (!item)
        return;
    if (const auto bytes = ReadWhole(*item))
        BinaryTa().SetText(track::SingleAreaDump(*bytes));
}

void MW::OpenBinary()
{
    FolderItemPtr item = ChooseExistingFile();
    if (!item)
        return;
    if (const auto bytes = ReadWhole(*item))
        BinaryTa().SetTextLatin1(*bytes);
}

void MW::SaveMidi()
{
    // Read before the dialog: nothing done while it is up reaches the file. A dump's
    // unedited rows are kept as ranges of its file's bytes, which never change.
    const track::ByteParts bytes = track::MidiFileParts(TrackTextOf(BinaryTa()));
    if (FolderItemPtr item = GetSaveFolderItem(QString(), QStringLiteral("Test.mid")))
        WriteFile(*item, QStringLiteral("binary/midi"), bytes);
}

void MW::SaveFileBinary()
{
    const track::ByteParts bytes = track::RawFileParts(TrackTextOf(BinaryTa()));
    if (FolderItemPtr item = GetSaveFolderItem(QString(), QStringLiteral("Sample.mid")))
        WriteFile(*item, QString(), bytes);
}

void MW::MidiSaveButton_Action(PushButton&) { SaveMidi(); }

void MW::FilesaveButton_Action(PushButton&) { SaveFileBinary(); }
