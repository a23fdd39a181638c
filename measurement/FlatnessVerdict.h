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

// The same σ as a number; nothing when its text holds no digit (not yet computed).
std::optional<double> JudgedSigmaValue(int form, const QString& readingsSigma,
                                       const QString& rangeSigma);
// The form a loaded measurement is judged by, as the main window chooses it on loading: the
// bureau form when the range method's σ is there.
int LoadedForm(const QString& rangeSigma);

enum class TVerdict { None, Pass, Fail };

struct TFlatnessJudgement {
    TVerdict verdict = TVerdict::None;
    QString text; // "規格値 2.4 以下: 合格", "規格値 2.4 以下: 不合格 (σ 2.71)", or empty
};

// The value of a limit text read with TextToFloat; nothing when the text holds no digit (an
// empty limit is no limit, and a text that is no number is not read as 0).
std::optional<double> FlatnessLimitValue(const QString& limitText);

// Judges the σ text against the limit text, both read with TextToFloat as they are shown:
// σ ≤ limit passes. No judgement when either text holds no digit (an empty limit, a σ not yet
// computed): a text that is no number is not read as 0.
TFlatnessJudgement JudgeFlatness(const QString& limitText, const QString& sigmaText);

// The upper limit (KikakutiU1, trimmed) of the flatness standard of a work type under the
// category given by the print form of the work (Yoshiki: 0 開発局, 1 土木現業所, 2 支庁). A work
// not in the register has the print form of a new work (0). Empty when no entry applies.
QString FlatnessLimitText(const QString& workCode, const QString& kosyumei);

} // namespace tv
