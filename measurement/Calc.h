#pragma once
// The flatness calculations: per line and overall statistics of the readings (CalcReadings) and the
// group-range method (CalcReadings is always followed by CalcRanges). They read and write the grid
// through its contract and the window's result boxes through TCalcTarget, so they run on the
// window's grid and on the in-memory grid alike.
//
// Both are a function of the grid as it stands: every row is visited and every result cell and
// box is written (or emptied), so nothing of an earlier calculation survives. A row with reading
// text gets Σd and Σd² of its used readings, and 最大, 最小 and Ｒ when at least two are used
// (emptied otherwise); a row without reading text keeps what was typed into 最大, 最小 or Ｒ as a
// group entered directly. σ is empty for one reading or none, the range σ for no group.
#include "platform/Grid.h"
#include "platform/NumberText.h" // TextToFloat

#include <QString>

namespace tv {

enum class ResultBox { Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11, Edit13 };

// The result boxes of the measurement window (Σd, Σ(d2), データ数, 標準偏差, ΣＲ, 測定数, 標準偏差
// of the range method, and Ｇ), the header record's GP and status panel 1.
class TCalcTarget {
public:
    virtual ~TCalcTarget() = default;
    virtual QString BoxText(ResultBox box) const = 0;
    virtual void SetBoxText(ResultBox box, const QString& text) = 0;
    virtual void SetGP(const QString& gp) = 0;
    virtual void ShowStatus(const QString& text) = 0;
};

void CalcReadings(TGrid& grid, TCalcTarget& target);
// Raises EConvertError "'%s' は整数ではありません" when Ｇ is not a whole number.
void CalcRanges(TGrid& grid, TCalcTarget& target);

// Boxes held in memory, for the command line and the tests.
class TMemoryCalcTarget : public TCalcTarget {
public:
    QString BoxText(ResultBox box) const override { return boxes_[static_cast<int>(box)]; }
    void SetBoxText(ResultBox box, const QString& text) override {
        boxes_[static_cast<int>(box)] = text;
    }
    void SetGP(const QString& gp) override { gp_ = gp; }
    void ShowStatus(const QString& text) override { status_ = text; }
    QString GP() const { return gp_; }
    QString Status() const { return status_; }

private:
    QString boxes_[8];
    QString gp_;
    QString status_;
};

} // namespace tv
