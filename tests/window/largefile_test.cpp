// A file of over a mebibyte opened in the real window: every line of the three
// columns in place, selections that cross the storage's pieces, the end of the
// dump scrolled into view, and a raw save that gives the file back.
#include "fixture.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <random>

namespace {

constexpr qsizetype kSize = (qsizetype(1) << 20) + 7;  // a last row of 7 bytes

// Row r of the hex and character columns, written out here byte by byte.
QString Row(const QByteArray& bytes, qsizetype r, bool hex)
{
    QString row;
    for (qsizetype i = r * 16; i < qMin(bytes.size(), r * 16 + 16); ++i) {
        const quint8 b = quint8(bytes[i]);
        row += hex ? QString::asprintf("%02X ", unsigned(b))
                   : QString(QChar(b >= 0x20 && b <= 0x7E ? char16_t(b) : u'-')) + ' ';
    }
    return row;
}

class LargeFile : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        std::mt19937 rng(20240611);
        bytes_.resize(kSize);
        for (char& c : bytes_)
            c = char(rng());
        WriteBytes(Path("large.bin"), bytes_);
        w().DropOpen(std::make_shared<FolderItem>(Path("large.bin")));
    }

    QByteArray bytes_;
    const qsizetype rows_ = kSize / 16 + 1;  // the last one partial
};

}  // namespace

TEST_F(LargeFile, EveryLineOfTheThreeColumnsIsInPlace)
{
    const QStringList address = w().HedderTa().Text().split(CR);
    const QStringList hex = w().BinaryTa().Text().split(CR);
    const QStringList chars = w().FutterTa().Text().split(CR);
    // The address text ends with CR: an empty piece after its last line.
    ASSERT_EQ(address.size(), rows_ + 1);
    ASSERT_EQ(hex.size(), rows_);
    ASSERT_EQ(chars.size(), rows_);
    EXPECT_EQ(address.back(), QString());
    for (qsizetype r = 0; r < rows_; ++r) {
        ASSERT_EQ(address[r], QString::asprintf("%08llX:", static_cast<unsigned long long>(r * 16))) << r;
        ASSERT_EQ(hex[r], Row(bytes_, r, true)) << "hex row " << r;
        ASSERT_EQ(chars[r], Row(bytes_, r, false)) << "character row " << r;
    }
    EXPECT_EQ(hex.back().size(), 7 * 3);
}

TEST_F(LargeFile, SelectionsAnywhereReadBackTheirRowsTheEndScrollsIntoViewAndARawSaveGivesTheFileBack)
{
    TextArea& ta = w().BinaryTa();
    QScrollBar* bar = qobject_cast<QAbstractScrollArea*>(ta.Widget())->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), rows_ - 100) << "the bar covers every row";
    for (qsizetype r : {qsizetype(0), qsizetype(1), qsizetype(333), qsizetype(4095), qsizetype(30001),
                        rows_ / 2, rows_ - 3}) {
        ta.SetSelStart(r * 49);
        ta.SetSelLength(49 * 2);
        EXPECT_EQ(ta.SelText(), Row(bytes_, r, true) + CR + Row(bytes_, r + 1, true) + CR) << "rows " << r;
    }
    ta.SetSelStart((rows_ - 1) * 49);
    ta.SetSelLength(1000);
    EXPECT_EQ(ta.SelText(), Row(bytes_, rows_ - 1, true)) << "the last row, cut at the end";
    EXPECT_EQ(bar->value(), bar->maximum());

    // Edited at the top and saved raw, it gives the file back with the edit.
    ta.SetSelStart(0);
    ta.SetSelLength(2);
    ta.SetSelText(QStringLiteral("7F"));
    dialogs().Answer(Path("saved.bin"));
    Click(w().FilesaveButton());
    QByteArray expected = bytes_;
    expected[0] = char(0x7F);
    EXPECT_TRUE(ReadBytes(Path("saved.bin")) == expected);
}
