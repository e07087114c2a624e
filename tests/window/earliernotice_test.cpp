// The notice of saves cut off midway, as the window gives it: at the start after
// them, once per file, naming the copy of the earlier bytes; and when such a file
// is opened, once a session, whichever way it is opened.
#include "fixture.h"

#include "framework/files/earlierbytes.h"
#include "window/earliernotice.h"

#include "../common/cutoffsave.h"

#include <QDir>
#include <unistd.h>

namespace {

// Files whose saves were cut off before the window is built: the first's twice,
// the second's told of in an earlier session.
class CutOffSaveNotice : public WindowTest {
protected:
    void SetUp() override
    {
        for (const QString name : {"first.bin", "first.bin", "second.bin"}) {
            if (!QFile::exists(Path(name))) {
                WriteBytes(Path(name), QByteArray(70000, 'e'));
                ASSERT_EQ(::link(QFile::encodeName(Path(name)).constData(), QFile::encodeName(Path(name + ".2")).constData()), 0);
            }
            const QStringList before = Copies();
            ASSERT_TRUE(CutOffSave(Path(name), QByteArray(70000, 'n')));
            const QStringList after = Copies();
            ASSERT_EQ(after.size(), before.size() + 1);
            for (const QString& copy : after)
                if (!before.contains(copy))
                    copies << copy;
        }
        ASSERT_TRUE(MarkEarlierBytesTold(QFile::encodeName(copies[2])));
        WindowTest::SetUp();
    }
    QStringList Copies() const
    {
        QStringList all;
        for (const LeftEarlierBytes& left : FindLeftEarlierBytes())
            all << QFile::decodeName(left.copy);
        return all;
    }
    QString First() const { return CutOffSaveText(QDir(dir_.path()).canonicalPath() + "/first.bin", {copies[1], copies[0]}); }
    QString Second() const { return CutOffSaveText(QDir(dir_.path()).canonicalPath() + "/second.bin", {copies[2]}); }
    QStringList copies;
};

}  // namespace

TEST_F(CutOffSaveNotice, ACutOffSaveIsToldAtTheNextStartAndWhenItsFileIsOpenedOnceASession)
{
    EXPECT_EQ(messages_, QStringList()) << "told before the window showed";
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_, QStringList(First()));
    const QString folder = QDir(dir_.path()).canonicalPath();
    EXPECT_EQ(First().toStdString(),
              QString("A save of the file \"%1/first.bin\" was cut off before it ended, so the file may hold part of the "
                      "new bytes. Its saves were cut off 2 times; the earlier bytes before each are kept whole in \"%2\", "
                      "\"%3\", the latest first.")
                  .arg(folder, copies[1], copies[0])
                  .toStdString());

    messages_.clear();
    Through(w().FileOpenButton(), Path("second.bin"));
    EXPECT_EQ(messages_, QStringList()) << "told before the file shows";
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_, QStringList(Second()));
    Through(w().FileOpenButton(), Path("first.bin"));
    w().DropOpen(std::make_shared<FolderItem>(Path("second.bin")));
    QCoreApplication::processEvents();
    TellOfCutOffSaves();
    EXPECT_EQ(messages_, QStringList(Second())) << "told again in the session, or at the next start";
    for (const LeftEarlierBytes& left : FindLeftEarlierBytes())
        EXPECT_TRUE(left.told) << left.copy.toStdString();
    EXPECT_EQ(ReadBytes(copies[0]), QByteArray(70000, 'e'));
    EXPECT_EQ(ReadBytes(copies[1]), QByteArray(70000, 'n')) << "the second cut-off save's earlier bytes";
}
