// Dropped URLs as a file manager sends them (text/uri-list, percent-encoded
// bytes): a file of this machine opens, byte for byte as a shell names it; one of
// another machine does not. Dropped text, pictures and other data are turned away
// wherever they land.
#include "fixture.h"

#include <QBuffer>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <vector>

namespace {

// Drops a uri-list of one line on the window; true when the window took it.
bool DropUri(QWidget* target, const QByteArray& uri)
{
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uri + "\r\n");
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

// What the window answered a drag: whether it took the drag's enter, its move and
// its drop, and the action it answered the drop with.
struct DragAnswers {
    bool enter, move, drop;
    Qt::DropAction action;
};

// Drags the data onto the window at a point of its own and drops it there, as the
// desktop delivers a drag: to the window, which finds the control under the point;
// the move starts as taken as the enter was. The drop follows even when refused.
// Shift held proposes a move of a drag that offers one.
DragAnswers DragOnto(QWidget* window, QPoint at, const QMimeData& data,
                     Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction,
                     Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QWindow* native = window->windowHandle();
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(native, &enter);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, keys);
    move.setDropAction(enter.dropAction());
    move.setAccepted(enter.isAccepted());
    QApplication::sendEvent(native, &move);
    QDropEvent drop(at, actions, &data, Qt::LeftButton, keys);
    QApplication::sendEvent(native, &drop);
    return {enter.isAccepted(), move.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

// A column as the user sees it: its text, CR as "|", and its selection.
struct ColumnState {
    QString text;
    qint64 selStart, selLength;
    bool operator==(const ColumnState&) const = default;
};

void PrintTo(const ColumnState& c, std::ostream* os)
{
    *os << '"' << c.text.toStdString() << "\" selected at " << c.selStart << " for " << c.selLength;
}

}  // namespace

TEST_F(WindowTest, DroppedUrlsOpenLocalFilesByTheirBytesAndNoOtherMachines)
{
    const QByteArray dir = QFile::encodeName(dir_.path());
    const QByteArray encodedDir = QUrl::toPercentEncoding(QString::fromUtf8(dir), "/");
    WriteBytes(Path("keep.bin"), "K");
    WriteBytes(Path("local.bin"), "L");
    WriteBytes(QFile::decodeName(dir + "/bad\xef\xbf\xbd.bin"), "WRONG");
    // A name that is not UTF-8, which Qt cannot hold as text: made by its bytes.
    ASSERT_TRUE(std::ofstream((dir + "/bad\xff.bin").toStdString()) << "N");
    const struct {
        QByteArray uri;
        bool taken;
        QString shown;
    } drops[] = {
        {"file://" + encodedDir + "/keep.bin", true, "K "},
        {"file://otherhost" + encodedDir + "/local.bin", false, "K "},
        {"file://localhost" + encodedDir + "/local.bin", true, "L "},
        {"file://" + encodedDir + "/bad%FF.bin", true, "N "},
        {"file://LOCALHOST" + encodedDir + "/keep.bin", true, "K "},
        {"http://localhost" + encodedDir + "/local.bin", false, "K "},
        {"file:local.bin", false, "K "},
    };
    for (const auto& d : drops) {
        SCOPED_TRACE(d.uri.constData());
        EXPECT_EQ(DropUri(w().QtWindow(), d.uri), d.taken);
        EXPECT_EQ(w().FutterTa().Text(), d.shown);
    }
    std::remove((dir + "/bad\xff.bin").constData());  // the folder's own clean-up goes by text
}

// Text, a picture, URLs that name no file of this machine and data of any other
// kind change no column's text, selection or caret, wherever they are dropped: on
// each column, the backdrop or the panel; the window refuses them, so the pointer
// says so. A file dropped at the same places still opens.
TEST_F(WindowTest, DroppedTextPicturesAndOtherDataAreRefusedEverywhereAndChangeNothing)
{
    QByteArray png;
    {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "PNG"));
    }
    // Each offered in one format, as another program offers it.
    const struct { const char* what; const char* format; QByteArray bytes; } kinds[] = {
        {"text", "text/plain", "22 33"},
        {"a picture", "image/png", png},
        {"a web URL", "text/uri-list", "https://example.org/a.bin\r\n"},
        {"another machine's file", "text/uri-list", "file://otherhost/tmp/a.bin\r\n"},
        {"other data", "application/octet-stream", "\x22\x33"},
    };

    TextArea* columns[] = {&w().HedderTa(), &w().BinaryTa(), &w().FutterTa()};
    // Each drop meets the same columns, so that one taken drop fails once.
    const auto setColumns = [&] {
        columns[0]->SetText("00000000:" + CR + "00000010:" + CR);
        columns[1]->SetText("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF " + CR + "10 ");
        columns[2]->SetText("- - - 3 D U f w - - - - - - - - " + CR + "- ");
        Select(*columns[0], 2, 0);
        Select(*columns[1], 3, 2);
        Select(*columns[2], 4, 1);
    };
    const auto states = [&] {
        std::vector<ColumnState> s;
        for (TextArea* c : columns)
            s.push_back({Shown(*c), c->SelStart(), c->SelLength()});
        return s;
    };
    setColumns();
    const std::vector<ColumnState> before = states();

    QWidget* window = w().QtWindow();
    const auto centreOf = [window](Control& c) { return c.Widget()->mapTo(window, c.Widget()->rect().center()); };
    const struct { const char* name; QPoint at; } places[] = {
        {"HedderTa", centreOf(w().HedderTa())},
        {"BinaryTa", centreOf(w().BinaryTa())},
        {"FutterTa", centreOf(w().FutterTa())},
        {"backdrop", w().ContentWidget()->mapTo(window, QPoint(20, 300))},
        {"panel", centreOf(w().Rectangle1())},
    };
    for (const auto& place : places) {
        for (const auto& kind : kinds) {
            SCOPED_TRACE(std::string(kind.what) + " on " + place.name);
            setColumns();
            QMimeData data;
            data.setData(kind.format, kind.bytes);
            if (kind.format == QLatin1String("image/png"))
                data.setImageData(QImage::fromData(png));
            const DragAnswers answers = DragOnto(window, place.at, data);
            EXPECT_FALSE(answers.enter);
            EXPECT_FALSE(answers.move);
            EXPECT_FALSE(answers.drop);
            EXPECT_EQ(states(), before);
        }
    }

    // The same places take a file, offered as file managers offer one, with its path as text.
    WriteBytes(Path("a.bin"), "A");
    for (const auto& place : places) {
        SCOPED_TRACE(place.name);
        setColumns();
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(Path("a.bin"))});
        file.setText(Path("a.bin"));
        const DragAnswers answers = DragOnto(window, place.at, file);
        EXPECT_TRUE(answers.enter && answers.move && answers.drop);
        EXPECT_EQ(Columns(), QStringList({"00000000:|", "41 ", "A "}));
    }
}

// A file is taken as a copy, also when the drag proposes a move (Shift held): the
// program only reads it, and a source told "moved" may remove it; a drag offered
// only as a move is turned away. On the converter's fields too, which keep their text.
TEST_F(WindowTest, DroppedFilesAreTakenAsACopyAlsoOnTheFieldsWhichKeepTheirText)
{
    WriteBytes(Path("a.bin"), "A");
    QMimeData a;
    a.setUrls({QUrl::fromLocalFile(Path("a.bin"))});
    a.setText(Path("a.bin"));
    w().TField2().SetText("FF");
    for (Control* place : std::initializer_list<Control*>{&w().TField1(), &w().TField2(), &w().BinaryTa()}) {
        SCOPED_TRACE(place->Name().toStdString());
        const QPoint at = place->Widget()->mapTo(w().QtWindow(), place->Widget()->rect().center());
        w().FutterTa().SetText("-");
        EXPECT_FALSE(DragOnto(w().QtWindow(), at, a, Qt::MoveAction).enter);
        EXPECT_EQ(w().FutterTa().Text(), "-");
        const DragAnswers moved = DragOnto(w().QtWindow(), at, a, Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier);
        EXPECT_TRUE(moved.drop && moved.action == Qt::CopyAction);
        EXPECT_EQ(w().FutterTa().Text(), "A ");
        // A source that offers only a link keeps its file as well.
        w().FutterTa().SetText("-");
        const DragAnswers linked = DragOnto(w().QtWindow(), at, a, Qt::LinkAction);
        EXPECT_TRUE(linked.drop && linked.action == Qt::LinkAction);
        EXPECT_EQ(w().FutterTa().Text(), "A ");
    }
    EXPECT_EQ(w().TField1().Text() + w().TField2().Text(), "FF");
}
