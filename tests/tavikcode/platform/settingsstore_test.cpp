#include "platform/settingsstore.h"
#include "base/tavikerror.h"

#include "../../testsupport.h"

using SettingsStoreTest = InTempFolder;

TEST_F(SettingsStoreTest, ValuesAreStringsInTheOrlixSectionOfTheIniFile)
{
    auto store = openIniSettingsStore(path("Orlix.ini"_qs));
    store->WriteInteger("Orlix"_qs, "TavikViewLeft"_qs, 120);
    store->WriteBool("Orlix"_qs, "TavikViewAlternate"_qs, true);
    store->WriteString("Orlix"_qs, "TavikViewLastGet"_qs, "06/12/26 00:00:00"_qs);
    const QByteArray ini = readBytes(path("Orlix.ini"_qs));
    EXPECT_TRUE(ini.startsWith("[Orlix]\n")) << ini.constData();
    EXPECT_TRUE(ini.contains("TavikViewLeft=120\n"));
    EXPECT_TRUE(ini.contains("TavikViewAlternate=1\n"));
    EXPECT_TRUE(ini.contains("TavikViewLastGet=06/12/26 00:00:00\n"));

    auto again = openIniSettingsStore(path("Orlix.ini"_qs));
    EXPECT_EQ(again->ReadInteger("Orlix"_qs, "TavikViewLeft"_qs, 100), 120);
    EXPECT_TRUE(again->ReadBool("Orlix"_qs, "TavikViewAlternate"_qs, false));
}

TEST_F(SettingsStoreTest, BadOrMissingNumbersGiveTheDefaultAndAnyNonZeroIsTrue)
{
    writeBytes(path("Orlix.ini"_qs), "[Orlix]\nTavikViewLeft=abc\nA=2\nB=-1\nC=0\n");
    auto store = openIniSettingsStore(path("Orlix.ini"_qs));
    EXPECT_EQ(store->ReadInteger("Orlix"_qs, "TavikViewLeft"_qs, 100), 100);
    EXPECT_EQ(store->ReadInteger("Orlix"_qs, "Missing"_qs, 7), 7);
    EXPECT_TRUE(store->ReadBool("Orlix"_qs, "A"_qs, false));
    EXPECT_TRUE(store->ReadBool("Orlix"_qs, "B"_qs, false));
    EXPECT_FALSE(store->ReadBool("Orlix"_qs, "C"_qs, true));
    EXPECT_EQ(store->ReadString("Other"_qs, "A"_qs, "d"_qs), "d"_qs);
}

TEST_F(SettingsStoreTest, DeletingAMissingValueIsNoError)
{
    auto store = openIniSettingsStore(path("Orlix.ini"_qs));
    EXPECT_NO_THROW(store->deleteValue("Orlix"_qs, "Nothing"_qs));
    store->WriteString("Orlix"_qs, "X"_qs, "1"_qs);
    store->deleteValue("Orlix"_qs, "X"_qs);
    EXPECT_FALSE(store->value("Orlix"_qs, "X"_qs).has_value());
}

TEST_F(SettingsStoreTest, ANonTextValueIsAnInvalidDataType)
{
    writeBytes(path("Orlix.ini"_qs), "[Orlix]\nTavikViewLastGet=a, b\n");
    auto store = openIniSettingsStore(path("Orlix.ini"_qs));
    try {
        store->ReadString("Orlix"_qs, "TavikViewLastGet"_qs, {});
        ADD_FAILURE();
    } catch (const TavikError &e) {
        EXPECT_EQ(e.message(), "Invalid data type for 'TavikViewLastGet'"_qs);
    }
}

TEST_F(SettingsStoreTest, AStoreThatCannotBeWrittenFailsToSetData)
{
    QDir().mkdir("Orlix.ini"_qs); // a folder where the file should be
    auto store = openIniSettingsStore(path("Orlix.ini"_qs));
    try {
        store->WriteString("Orlix"_qs, "TavikViewLeft"_qs, "1"_qs);
        ADD_FAILURE();
    } catch (const TavikError &e) {
        EXPECT_EQ(e.message(), "Failed to set data for 'TavikViewLeft'"_qs);
    }
}
