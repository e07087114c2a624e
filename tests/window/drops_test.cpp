// Dropped URLs as a file manager sends them (text/uri-list, percent-encoded
// bytes): a file of this machine opens, byte for byte as a shell names it; one of
// another machine does not.
#include "fixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cstdio>
#include <fstream>

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
