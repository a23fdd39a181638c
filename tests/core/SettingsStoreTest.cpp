// Per-user settings and the data folder, in a private configuration folder.
#include "platform/Errors.h"
#include "settings/DataFolder.h"
#include "settings/RegistryUtility.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>

namespace tv::test {
namespace {

class SettingsStoreTest : public EnvTest {
protected:
    QString IniPath() const { return env.ConfigHome() + QStringLiteral("/kestran/kestran.ini"); }

    // Writes the settings file by hand, as a user editing it would.
    void WriteIni(const QByteArray& text) {
        QDir().mkpath(env.ConfigHome() + QStringLiteral("/kestran"));
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
};

TEST_F(SettingsStoreTest, ValuesRoundTripThroughTheUsersSettingsFile) {
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QString());
    WriteSetting(QStringLiteral("UnUseInkan"), QStringLiteral("TRUE"));
    // Texts that the file format would otherwise read as lists or numbers stay texts.
    WriteSetting(QStringLiteral("JisyaKikakumei"), QStringLiteral("自社規格, 舗装=1"));
    WriteSetting(QStringLiteral("ColorOndoNeriRange"), QStringLiteral("-16777201"));
    WriteSetting(QStringLiteral("Empty"), QString());
    EXPECT_TRUE(QFile::exists(IniPath()));
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QStringLiteral("TRUE"));
    EXPECT_EQ(ReadSetting(QStringLiteral("JisyaKikakumei")), QStringLiteral("自社規格, 舗装=1"));
    EXPECT_EQ(ReadSetting(QStringLiteral("ColorOndoNeriRange")), QStringLiteral("-16777201"));
    EXPECT_EQ(ReadSetting(QStringLiteral("Empty")), QString());
}

TEST_F(SettingsStoreTest, HandWrittenNumbersAreTextButListsAndTypedValuesAreRefused) {
    WriteIni("[General]\nUseRate=12\nUseSiyou=TRUE\nColorOndoNeriRange=1, 2\n"
             "ColorOndoSikiRange=@Rect(0 0 1 1)\nJisyaKikakumei=@ByteArray(abc)\n");
    EXPECT_EQ(ReadSetting(QStringLiteral("UseRate")), QStringLiteral("12"));
    EXPECT_EQ(ReadSetting(QStringLiteral("UseSiyou")), QStringLiteral("TRUE"));
    for (const QString& name :
         {QStringLiteral("ColorOndoNeriRange"), QStringLiteral("ColorOndoSikiRange"),
          QStringLiteral("JisyaKikakumei")}) {
        try {
            ReadSetting(name);
            ADD_FAILURE() << name.toStdString() << " read without error";
        } catch (const TError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' のデータ型が不正です").arg(name));
        }
    }
}

TEST_F(SettingsStoreTest, AStoreThatCannotBeWrittenReadsEmptyAndRefusesWrites) {
    // A folder in place of the settings file can be neither read nor written.
    QDir().mkpath(IniPath());
    EXPECT_EQ(ReadSetting(QStringLiteral("UnUseInkan")), QString());
    EXPECT_THROW(WriteSetting(QStringLiteral("UnUseInkan"), QStringLiteral("TRUE")), TError);
}

TEST_F(SettingsStoreTest, TheDataFolderAlwaysEndsInASeparatorAndIsStoredUnchanged) {
    SetDataFolder(QStringLiteral("KESTRAN"), QStringLiteral("/srv/data"));
    EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), QStringLiteral("/srv/data/"));
    SetDataFolder(QStringLiteral("KESTRAN"), QStringLiteral("/srv/data/"));
    EXPECT_EQ(GetDataFolder(QStringLiteral("kestran")), QStringLiteral("/srv/data/"));
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_THROW(GetDataFolder(QStringLiteral("nosuchdb")), EngineError);
}

} // namespace
} // namespace tv::test
