#pragma once
// The verdict on a flatness measurement: the σ the chosen report form prints against the upper
// limit of the work type's flatness standard ("平坦性" in the standard-values register, under the
// category of the work's print form). Only shown; nothing is stored or printed from it.
#include <QString>
#include <optional>

namespace tv {

// The report forms of the main window, by their index in its 印刷フォーム group.
constexpr int kFormHandbook = 0; // 舗装試験法便覧: the standard deviation of the readings
constexpr int kFormBureau = 1;   // 北海道開発局: σ of the group-range method

// The σ text the chosen form prints: the readings' standard deviation for the handbook form, the
// range method's σ for the bureau form.
QString JudgedSigmaText(int form, const QString& readingsSigma, const QString& rangeSigma);

// The name of the σ the chosen form prints and the verdict judges: "標準偏差" for the handbook
// form, "範囲法 σ" for the bureau form.
QString JudgedSigmaName(int form);

// The report form a work is printed on, from its print form in the works register: 開発局 (0)
// prints the bureau form, 土木現業所 and 支庁 the handbook form. A work not in the register has
// the print form of a new work.
int ReportFormOfWork(const QString& workCode);
// The same σ as a number; nothing when its text holds no digit (not yet computed).
std::optional<double> JudgedSigmaValue(int form, const QString& readingsSigma,
                                       const QString& rangeSigma);

enum class TVerdict { None, Pass, Fail };

struct TFlatnessJudgement {
    TVerdict verdict = TVerdict::None;
    // "標準偏差 1.16 ≤ 2.4 合格", "範囲法 σ 2.71 > 2.4 不合格", "範囲法 σ がないため判定できません"
    // (a limit but no σ of that kind), or empty (no limit).
    QString text;
};

// The value of a limit text read with TextToFloat; nothing when the text holds no digit (an
// empty limit is no limit, and a text that is no number is not read as 0).
std::optional<double> FlatnessLimitValue(const QString& limitText);

// Judges the σ text against the limit text, both read with TextToFloat as they are shown:
// σ ≤ limit passes. The text names the σ judged (`sigmaName`). No judgement when either text holds
// no digit (an empty limit, a σ not computed): a text that is no number is not read as 0.
TFlatnessJudgement JudgeFlatness(const QString& limitText, const QString& sigmaText,
                                 const QString& sigmaName = QStringLiteral("標準偏差"));

// The upper limit (KikakutiU1, trimmed) of the flatness standard of a work type under the
// category given by the print form of the work (Yoshiki: 0 開発局, 1 土木現業所, 2 支庁). A work
// not in the register has the print form of a new work (0). Empty when no entry applies.
QString FlatnessLimitText(const QString& workCode, const QString& kosyumei);

} // namespace tv
