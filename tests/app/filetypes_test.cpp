// The file type set: every value of its table, the list's order and identity,
// and the registrations the build makes.
#include "app/filetypes1.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    FileTypes1::Type (FileTypes1::*accessor)() const;
    const char* name;
    const char* extensions;
    const char* macType;
    const char* conformsTo;
    const char* uti;
};

const Expected kRows[] = {
    {&FileTypes1::Rtf, "application/rtf", ".rtf", "Rtf", "public. rtf", "RTF"},
    {&FileTypes1::RTFD, "application/rtfd", ".rtfd", "Rtfd", "public.rtfd", "RTFD"},
    {&FileTypes1::TEXT, "text/plain", ".txt", "TEXT", "public.data, public.content", "public.text"},
    {&FileTypes1::PDF, "application/pdf", ".pdf", "PDF", "public.data, public.composite-content", "com.adobe.pdf"},
    {&FileTypes1::HTML, "text/html", ".html", "TEXT", "public.data, public.content", "public.html"},
    {&FileTypes1::XML, "text/xml", ".xml", "Xml", "public.data, public.content", "public.html"},
    {&FileTypes1::JSON, "text/json", ".json", "Json", "", "public.Json"},
    {&FileTypes1::Any, "Any", ".any", "????", "", ""},
};

class FileTypeRow : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        FileTypeRegistry::Instance().Clear();
        set.Initialize();
    }
    FileTypes1 set;
};

} // namespace

TEST(FileTypeSet, EveryAccessorIsNilAndTheListEmptyBeforeTheBuild)
{
    FileTypes1 set;
    for (const Expected& row : kRows)
        EXPECT_EQ((set.*row.accessor)(), nullptr) << row.name;
    EXPECT_EQ(set.AllFileTypesUbound(), -1);
}

TEST_P(FileTypeRow, HoldsTheValuesOfItsRow)
{
    const Expected& row = kRows[GetParam()];
    const FileTypes1::Type type = (set.*row.accessor)();
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->Name(), QString::fromUtf8(row.name));
    EXPECT_EQ(type->Extensions(), QString::fromUtf8(row.extensions));
    EXPECT_EQ(type->MacType(), QString::fromUtf8(row.macType));
    EXPECT_EQ(type->MacCreator(), QString());
    EXPECT_EQ(type->MimeType(), QString());
    EXPECT_TRUE(type->Imported());
    EXPECT_EQ(type->ConformsTo(), QString::fromUtf8(row.conformsTo));
    EXPECT_EQ(type->UTI(), QString::fromUtf8(row.uti));
    EXPECT_TRUE(type->IsRegistered());
}

TEST_P(FileTypeRow, AccessorYieldsTheVeryObjectAtItsListIndex)
{
    const Expected& row = kRows[GetParam()];
    ASSERT_EQ(set.AllFileTypesUbound(), 7);
    EXPECT_EQ((set.*row.accessor)().get(), set.AllFileTypes()[size_t(GetParam())].get());
    EXPECT_EQ((set.*row.accessor)().get(), (set.*row.accessor)().get());
}

INSTANTIATE_TEST_SUITE_P(AllRows, FileTypeRow, ::testing::Range(0, 8));

TEST(FileTypeSet, BuildRegistersEachRowOnceInTableOrderAndWithdrawsNone)
{
    FileTypeRegistry::Instance().Clear();
    FileTypes1 set;
    set.Initialize();
    const auto& history = FileTypeRegistry::Instance().History();
    ASSERT_EQ(history.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const Expected& row = kRows[i];
        EXPECT_TRUE(history[i].registered) << row.name;
        const FileTypeRegistry::Entry expected{QString::fromUtf8(row.name), QString(), QString::fromUtf8(row.macType),
                                               QString::fromUtf8(row.extensions), QString::fromUtf8(row.uti)};
        EXPECT_EQ(history[i].entry, expected) << row.name;
    }
}

TEST(FileTypeSet, SecondBuildAppendsWithoutEmptyingTheList)
{
    FileTypes1 set;
    set.Initialize();
    const FileTypes1::Type firstRtf = set.Rtf();
    set.Initialize();
    ASSERT_EQ(set.AllFileTypesUbound(), 15);
    EXPECT_EQ(set.AllFileTypes()[0], firstRtf);
    EXPECT_EQ(set.AllFileTypes()[8], set.Rtf());
    EXPECT_NE(set.Rtf(), firstRtf);
}
