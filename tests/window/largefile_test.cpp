// A file of over a mebibyte opened in the real window: every line of the three
// columns in place, selections that cross the storage's pieces, the end of the
// dump scrolled into view, and a raw save that gives the file back.
#include "fixture.h"

#include <QAbstractScrollArea>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <random>

namespace {

constexpr QChar CR(13);
constexpr qsizetype kSize = (qsizetype(1) << 20) + 7;  // a last row of 7 bytes

QByteArray RandomBytes(qsizetype n)
{
    std::mt19937 rng(20240611);
    QByteArray b(n, Qt::Uninitialized);
    for (char& c : b)
        c = char(rng());
    return b;
}

// Row r of each column, written out here byte by byte from the file.
QString AddressRow(qsizetype r) { return QString::asprintf("%08llX:", static_cast<unsigned long long>(r * 16)); }

QString HexRow(const QByteArray& bytes, qsizetype r)
{
    QString row;
    for (qsizetype i = r * 16; i < qMin(bytes.size(), r * 16 + 16); ++i)
        row += QString::asprintf("%02X ", unsigned(quint8(bytes[i])));
    return row;
}

QString CharacterRow(const QByteArray& bytes, qsizetype r)
{
    QString row;
    for (qsizetype i = r * 16; i < qMin(bytes.size(), r * 16 + 16); ++i) {
        const quint8 b = quint8(bytes[i]);
        row += QChar(b >= 0x20 && b <= 0x7E ? char16_t(b) : u'-');
        row += QLatin1Char(' ');
    }
    return row;
}

class LargeFile : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        bytes_ = RandomBytes(kSize);
        QFile f(Path("large.bin"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes_), kSize);
        f.close();
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
        ASSERT_EQ(address[r], AddressRow(r)) << "address row " << r;
        ASSERT_EQ(hex[r], HexRow(bytes_, r)) << "hex row " << r;
        ASSERT_EQ(chars[r], CharacterRow(bytes_, r)) << "character row " << r;
    }
    EXPECT_EQ(hex.back().size(), 7 * 3);
}

TEST_F(LargeFile, SelectionsAnywhereReadBackTheirRows)
{
    TextArea& ta = w().BinaryTa();
    for (qsizetype r : {qsizetype(0), qsizetype(1), qsizetype(333), qsizetype(4095), qsizetype(30001),
                        rows_ / 2, rows_ - 3}) {
        ta.SetSelStart(r * 49);
        ta.SetSelLength(49 * 2);
        EXPECT_EQ(ta.SelText(), HexRow(bytes_, r) + CR + HexRow(bytes_, r + 1) + CR) << "rows " << r;
    }
    ta.SetSelStart((rows_ - 1) * 49);
    ta.SetSelLength(1000);
    EXPECT_EQ(ta.SelText(), HexRow(bytes_, rows_ - 1)) << "the last row, cut at the end";
}

TEST_F(LargeFile, AHighlightAtTheEndIsScrolledIntoView)
{
    TextArea& ta = w().BinaryTa();
    QScrollBar* bar = qobject_cast<QAbstractScrollArea*>(ta.Widget())->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_GT(bar->maximum(), rows_ - 100) << "the bar covers every row";
    ta.SetSelStart(ta.Length() - 3);
    ta.SetSelLength(3);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(LargeFile, EditedAtTheTopAndSavedRawItGivesTheFileBackWithTheEdit)
{
    TextArea& ta = w().BinaryTa();
    ta.SetSelStart(0);
    ta.SetSelLength(2);
    ta.SetSelText(QStringLiteral("7F"));
    dialogs().Answer(Path("saved.bin"));
    QTest::mouseClick(w().FilesaveButton().Widget(), Qt::LeftButton);
    QFile saved(Path("saved.bin"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    QByteArray expected = bytes_;
    expected[0] = char(0x7F);
    EXPECT_TRUE(saved.readAll() == expected);
}
