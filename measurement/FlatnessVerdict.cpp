#include "measurement/FlatnessVerdict.h"

#include "platform/NumberText.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"

namespace tv {

namespace {
bool HasDigit(const QString& text) {
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return true;
    return false;
}
} // namespace

std::optional<double> FlatnessLimitValue(const QString& limitText) {
    if (!HasDigit(limitText))
        return std::nullopt;
    return TextToFloat(limitText);
}

QString JudgedSigmaText(int form, const QString& readingsSigma, const QString& rangeSigma) {
    return form == kFormBureau ? rangeSigma : readingsSigma;
}

std::optional<double> JudgedSigmaValue(int form, const QString& readingsSigma,
                                       const QString& rangeSigma) {
    return FlatnessLimitValue(JudgedSigmaText(form, readingsSigma, rangeSigma));
}

int LoadedForm(const QString& rangeSigma) {
    return rangeSigma.trimmed().isEmpty() ? kFormHandbook : kFormBureau;
}

TFlatnessJudgement JudgeFlatness(const QString& limitText, const QString& sigmaText) {
    TFlatnessJudgement judgement;
    const QString limit = limitText.trimmed();
    const QString sigma = sigmaText.trimmed();
    if (!HasDigit(limit) || !HasDigit(sigma))
        return judgement;
    const QString head = QStringLiteral("規格値 ") + limit + QStringLiteral(" 以下: ");
    if (TextToFloat(sigma) <= TextToFloat(limit)) {
        judgement.verdict = TVerdict::Pass;
        judgement.text = head + QStringLiteral("合格");
    } else {
        judgement.verdict = TVerdict::Fail;
        judgement.text = head + QStringLiteral("不合格 (σ ") + sigma + QLatin1Char(')');
    }
    return judgement;
}

QString FlatnessLimitText(const QString& workCode, const QString& kosyumei) {
    TKoji work;
    work.LoadByCode(workCode);
    TKikakuti4 standard;
    standard.FindFlatness(kosyumei, work.Yoshiki);
    return standard.KikakutiU1.trimmed();
}

} // namespace tv
