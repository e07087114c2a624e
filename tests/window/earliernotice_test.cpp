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

// Two files whose saves were cut off before the window is built, the second told
// of in an earlier session.
class CutOffSaveNotice : public WindowTest {
protected:
    void SetUp() override
    {
        for (const QString name : {"first.bin", "second.bin"}) {
            WriteBytes(Path(name), QByteArray(70000, 'e'));
            ASSERT_EQ(::link(QFile::encodeName(Path(name)).constData(), QFile::encodeName(Path(name + ".2")).constData()), 0);
            ASSERT_TRUE(CutOffSave(Path(name), QByteArray(70000, 'n')));
            bool found = false;
            for (const LeftEarlierBytes& left : FindLeftEarlierBytes())
                if (left.file == RecordedPath(QFile::encodeName(Path(name))))
                    copies << QFile::decodeName(left.copy), found = true;
            ASSERT_TRUE(found) << "no copy of " << name.toStdString();
        }
        ASSERT_TRUE(MarkEarlierBytesTold(QFile::encodeName(copies[1])));
        WindowTest::SetUp();
    }
    QString Text(int i) const
    {
        const QString file = QDir(dir_.path()).canonicalPath() + (i == 0 ? "/first.bin" : "/second.bin");
        return CutOffSaveText(file, {copies[i]});
    }
    QStringList copies;
};

}  // namespace

TEST_F(CutOffSaveNotice, ACutOffSaveIsToldAtTheNextStartAndWhenItsFileIsOpenedOnceASession)
{
    EXPECT_EQ(messages_, QStringList()) << "told before the window showed";
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_, QStringList(Text(0)));
    EXPECT_EQ(Text(0).toStdString(),
              QString("A save of the file \"%1/first.bin\" was cut off before it ended, so the file may hold part of the "
                      "new bytes. Its earlier bytes are kept whole in \"%2\".")
                  .arg(QDir(dir_.path()).canonicalPath(), copies[0])
                  .toStdString());

    messages_.clear();
    Through(w().FileOpenButton(), Path("second.bin"));
    EXPECT_EQ(messages_, QStringList()) << "told before the file shows";
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_, QStringList(Text(1)));
    Through(w().FileOpenButton(), Path("first.bin"));
    w().DropOpen(std::make_shared<FolderItem>(Path("second.bin")));
    QCoreApplication::processEvents();
    TellOfCutOffSaves();
    EXPECT_EQ(messages_, QStringList(Text(1))) << "told again in the session, or at the next start";
    for (const LeftEarlierBytes& left : FindLeftEarlierBytes())
        EXPECT_TRUE(left.told) << left.copy.toStdString();
    EXPECT_EQ(ReadBytes(copies[0]), QByteArray(70000, 'e'));
}
