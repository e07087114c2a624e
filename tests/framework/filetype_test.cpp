// FileType setters, registration on conversion to text, and the registry.
#include "framework/filetype.h"

#include <gtest/gtest.h>

namespace {

struct CleanRegistry {
    CleanRegistry() { FileTypeRegistry::Instance().Clear(); }
    ~CleanRegistry() { FileTypeRegistry::Instance().Clear(); }
};

} // namespace

TEST(FileTypeRecord, ConversionToTextRegistersOnceAndGivesTheName)
{
    CleanRegistry clean;
    FileType t;
    t.SetName(QStringLiteral("application/rtf"));
    t.SetExtensions(QStringLiteral(".rtf"));
    t.SetMacType(QStringLiteral("Rtf"));
    t.SetMacCreator(QString());
    t.SetMimeType(QString());
    t.SetImported(true);
    t.SetConformsTo(QStringLiteral("public. rtf"));
    t.SetUTI(QStringLiteral("RTF"));
    EXPECT_TRUE(FileTypeRegistry::Instance().History().empty());
    EXPECT_EQ(QString(t), QStringLiteral("application/rtf"));
    EXPECT_EQ(t.ToText(), QStringLiteral("application/rtf"));
    const auto& h = FileTypeRegistry::Instance().History();
    ASSERT_EQ(h.size(), 1u);
    EXPECT_TRUE(h[0].registered);
    EXPECT_EQ(h[0].entry, (FileTypeRegistry::Entry{"application/rtf", "", "Rtf", ".rtf", "RTF"}));
    EXPECT_TRUE(t.IsRegistered());
}

TEST(FileTypeRecord, SetterOnARegisteredTypeWithdrawsTheRegistrationFirst)
{
    CleanRegistry clean;
    FileType t;
    t.SetName(QStringLiteral("text/plain"));
    t.ToText();
    t.SetUTI(QStringLiteral("public.text"));
    EXPECT_FALSE(t.IsRegistered());
    EXPECT_EQ(FileTypeRegistry::Instance().Find(QStringLiteral("text/plain")), nullptr);
    const auto& h = FileTypeRegistry::Instance().History();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_FALSE(h[1].registered);
    t.ToText();
    ASSERT_NE(FileTypeRegistry::Instance().Find(QStringLiteral("text/plain")), nullptr);
    EXPECT_EQ(FileTypeRegistry::Instance().Find(QStringLiteral("text/plain"))->uti, QStringLiteral("public.text"));
}

TEST(FileTypeRegistryEntries, KeepsRegistrationOrderAndOneEntryPerName)
{
    CleanRegistry clean;
    auto& reg = FileTypeRegistry::Instance();
    reg.Register({"a/x", "", "A", ".a", ""});
    reg.Register({"b/y", "", "B", ".b", ""});
    reg.Register({"a/x", "", "A2", ".a", ""});
    ASSERT_EQ(reg.Entries().size(), 2u);
    EXPECT_EQ(reg.Entries()[0].macType, QStringLiteral("A2"));
    EXPECT_EQ(reg.Entries()[1].name, QStringLiteral("b/y"));
    reg.Deregister(QStringLiteral("nothing"));
    EXPECT_EQ(reg.History().size(), 3u);
}
