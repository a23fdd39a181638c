// The verdict on a measurement's σ against the flatness standard of its work type.
#include "measurement/FlatnessVerdict.h"
#include "platform/TableEngine.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "settings/DataFolder.h"
#include "tests/support/Measurements.h"
#include "tests/support/TestEnv.h"

namespace tv::test {
namespace {

TEST(FlatnessVerdict, TheFormChoosesTheSigmaAndSigmaAtTheLimitPasses) {
    EXPECT_EQ(JudgedSigmaText(kFormHandbook, QStringLiteral("2.10"), QStringLiteral("2.71")),
              QStringLiteral("2.10"));
    EXPECT_EQ(JudgedSigmaText(kFormBureau, QStringLiteral("2.10"), QStringLiteral("2.71")),
              QStringLiteral("2.71"));

    TFlatnessJudgement pass = JudgeFlatness(QStringLiteral("2.4"), QStringLiteral("2.40"));
    EXPECT_EQ(pass.verdict, TVerdict::Pass);
    EXPECT_EQ(pass.text, QStringLiteral("標準偏差 2.40 ≤ 2.4 合格"));
    pass = JudgeFlatness(QStringLiteral(" 2.4 "), QStringLiteral("0.00"),
                         JudgedSigmaName(kFormBureau));
    EXPECT_EQ(pass.text, QStringLiteral("範囲法 σ 0.00 ≤ 2.4 合格"));

    const TFlatnessJudgement fail = JudgeFlatness(QStringLiteral("2.4"), QStringLiteral("2.41"));
    EXPECT_EQ(fail.verdict, TVerdict::Fail);
    const TFlatnessJudgement shown =
        JudgeFlatness(QStringLiteral("2.4"), QStringLiteral("2.71"), JudgedSigmaName(kFormBureau));
    EXPECT_EQ(shown.text, QStringLiteral("範囲法 σ 2.71 > 2.4 不合格"));

    // No limit: no verdict and no text. A limit but no σ of that kind: no verdict, and the text
    // says why.
    for (const QString& limit : {QString(), QStringLiteral("  "), QStringLiteral("なし")}) {
        const TFlatnessJudgement none = JudgeFlatness(limit, QStringLiteral("1.00"));
        EXPECT_EQ(none.verdict, TVerdict::None) << limit.toStdString();
        EXPECT_TRUE(none.text.isEmpty());
    }
    const TFlatnessJudgement noSigma = JudgeFlatness(QStringLiteral("2.4"), QString());
    EXPECT_EQ(noSigma.verdict, TVerdict::None);
    EXPECT_EQ(noSigma.text, QStringLiteral("標準偏差がないため判定できません"));
    EXPECT_FALSE(FlatnessLimitValue(QString()));
    EXPECT_EQ(FlatnessLimitValue(QStringLiteral("2.4mm")), 2.4);
}

class FlatnessLimitTest : public EnvTest {
protected:
    void SetUp() override {
        TKoji().CheckTable();
        TKosyu().CheckTable();
        StoreWork(QStringLiteral("K1"), QStringLiteral("工事K1"), 1);
        StoreWork(QStringLiteral("K2"), QStringLiteral("工事K2"), 2);
    }
    static void StoreStandard(int kubun, const QString& kosyu, const QString& item,
                              const QString& upper) {
        TKikakuti4 entry;
        entry.Kubun = kubun;
        entry.Kosyu->FindByName(kosyu);
        entry.Koumokumei = item;
        entry.KikakutiU1 = upper;
        entry.Save();
    }
};

TEST_F(FlatnessLimitTest, TheWorksPrintFormGivesTheCategoryAndAMissingEntryGivesNone) {
    // Without the register's table there is no standard, and looking does not create it.
    EXPECT_EQ(FlatnessLimitText(QStringLiteral("K1"), QStringLiteral("表層工")), QString());
    EXPECT_FALSE(FileExistsNoCase(GetDataFolder(QStringLiteral("kestran")) +
                                  QStringLiteral("KIKAKUTI4.db")));

    TKikakuti4().CheckTable();
    StoreStandard(0, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral("2.4"));
    StoreStandard(1, QStringLiteral("表層工"), QStringLiteral("平坦性"), QStringLiteral(" 3.0 "));
    StoreStandard(2, QStringLiteral("表層工"), QStringLiteral("厚さ"), QStringLiteral("5"));
    StoreStandard(2, QStringLiteral("基層工"), QStringLiteral("平坦性"), QString());

    EXPECT_EQ(FlatnessLimitText(QStringLiteral("K1"), QStringLiteral("表層工")),
              QStringLiteral("3.0"));
    // Category 2 has only another item for this work type, and an empty limit for the other.
    EXPECT_EQ(FlatnessLimitText(QStringLiteral("K2"), QStringLiteral("表層工")), QString());
    EXPECT_EQ(FlatnessLimitText(QStringLiteral("K2"), QStringLiteral("基層工")), QString());
    // A work not in the register has the print form of a new work.
    EXPECT_EQ(FlatnessLimitText(QStringLiteral("X9"), QStringLiteral("表層工")),
              QStringLiteral("2.4"));
    EXPECT_EQ(FlatnessLimitText(QStringLiteral("K1"), QStringLiteral("路盤工")), QString());
}

} // namespace
} // namespace tv::test
