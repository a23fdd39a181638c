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

QString JudgedSigmaName(int form) {
    return form == kFormBureau ? QStringLiteral("範囲法 σ") : QStringLiteral("標準偏差");
}

int ReportFormOfWork(const QString& workCode) {
    TKoji work;
    work.LoadByCode(workCode);
    return work.Yoshiki == 0 ? kFormBureau : kFormHandbook;
}

TFlatnessJudgement JudgeFlatness(const QString& limitText, const QString& sigmaText,
                                 const QString& sigmaName) {
    TFlatnessJudgement judgement;
    const QString limit = limitText.trimmed();
    const QString sigma = sigmaText.trimmed();
    if (!HasDigit(limit))
        return judgement;
    if (!HasDigit(sigma)) {
        // "範囲法 σ がない…", "標準偏差がない…": a space only after a symbol.
        const QString gap = sigmaName.endsWith(QChar(0x03C3)) ? QStringLiteral(" ") : QString();
        judgement.text = sigmaName + gap + QStringLiteral("がないため判定できません");
        return judgement;
    }
    if (TextToFloat(sigma) <= TextToFloat(limit)) {
        judgement.verdict = TVerdict::Pass;
        judgement.text = sigmaName + QLatin1Char(' ') + sigma + QStringLiteral(" ≤ ") + limit +
                         QStringLiteral(" 合格");
    } else {
        judgement.verdict = TVerdict::Fail;
        judgement.text = sigmaName + QLatin1Char(' ') + sigma + QStringLiteral(" > ") + limit +
                         QStringLiteral(" 不合格");
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
