// The next line's measuring position, continued from the two above.
#include "measurement/PositionStep.h"
#include "tests/support/TestEnv.h"

namespace tv::test {
namespace {

TEST(PositionStep, ContinuesTheStepInTheSameNotation) {
    const struct {
        const char16_t *before, *last, *next;
    } cases[] = {
        {u"No.0+0.0", u"No.0+15.0", u"No.1+10.0"}, // 20 m stations
        {u"No.3+10", u"No.4", u"No.4+10"},         // a whole station without its "+0"
        {u"No.4", u"No.4+10", u"No.5"},
        {u"0.0", u"15.0", u"30.0"},  // plain metres
        {u"100", u"80", u"60"},      // measured backwards
        {u"No.1", u"No.2", u"No.3"}, // whole stations
        {u"測点1", u"測点3", u"測点5"},
        // Nothing to continue: other notations, no step, before the start, too long.
        {u"No.1", u"0.0", nullptr},
        {u"No.1+5", u"No.1+5", nullptr},
        {u"10.0", u"4.0", nullptr},
        {u"No.1", u"A.2", nullptr},
        {u"No.0+0.25", u"No.450+0.5", nullptr},
        {u"", u"No.1", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<QString> next =
            NextPosition(QString::fromUtf16(c.before), QString::fromUtf16(c.last));
        if (c.next)
            EXPECT_EQ(next.value_or(QStringLiteral("(none)")), QString::fromUtf16(c.next))
                << QString::fromUtf16(c.last).toStdString();
        else
            EXPECT_FALSE(next.has_value()) << QString::fromUtf16(c.last).toStdString();
    }
}

} // namespace
} // namespace tv::test
