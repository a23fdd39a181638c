#pragma once
// What the measurement window and the calculations use of the spreadsheet grid. Cells are
// addressed by column and row counted from 1; Col/Row address the cell that Text and ForeColor
// refer to, independent of the cursor cell.
#include <QString>

namespace tv {

class TGrid {
public:
    virtual ~TGrid() = default;

    virtual int MaxRows() const = 0;

    virtual void SetCol(int col) = 0;
    virtual void SetRow(int row) = 0;
    virtual void SetCol2(int col) = 0;
    virtual void SetRow2(int row) = 0;
    virtual int Col() const = 0;
    virtual int Row() const = 0;

    // Text of the addressed cell; empty for an empty cell. A number cell takes a number's text,
    // shows it in its column's format and gives that text back.
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;

    // A result the calculations write into the addressed cell, as SetText does, marked as
    // computed: a computed 最大, 最小 or Ｒ goes when its line's readings go, while one the user
    // typed (a group entered directly) stays. SetText marks the text as typed.
    virtual void SetResultText(const QString& text) { SetText(text); }
    virtual bool IsResultText() const { return false; }

    // Text colour of the addressed cell: 0 black (a used reading), 255 red (excluded).
    virtual int ForeColor() const = 0;
    virtual void SetForeColor(int color) = 0;

    // 12 clears the text of every cell of the block Col..Col2, Row..Row2 (all -1: whole sheet).
    virtual void SetAction(int action) = 0;

    virtual int ActiveCol() const = 0;
    // Where Enter moves the cursor: 4 right, 8 to the start of the next row, 2 down.
    virtual void SetEditEnterAction(int action) = 0;

    QString GetCellText(int col, int row) {
        SetCol(col);
        SetRow(row);
        return Text();
    }
    void SetCellText(int col, int row, const QString& text) {
        SetCol(col);
        SetRow(row);
        SetText(text);
    }
};

constexpr int kColorBlack = 0;
constexpr int kColorRed = 255;
constexpr int kActionClearText = 12;
constexpr int kEnterRight = 4;
constexpr int kEnterNextRow = 8;
constexpr int kEnterDown = 2;

} // namespace tv
