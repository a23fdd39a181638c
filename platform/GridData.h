#pragma once
// The cells of the measurement grid (16 columns, 500 rows) and their formats, without any widget.
// It is the in-memory grid of the tests and the command line, and the store behind the window's
// grid control, so both format and read cells alike.
#include "platform/Grid.h"
#include "platform/GridLayout.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace tv {

class TGridData : public TGrid {
public:
    static constexpr int kColumns = grid::kColumns;
    static constexpr int kRows = grid::kRows;

    TGridData();

    int MaxRows() const override { return kRows; }
    void SetCol(int col) override { col_ = col; }
    void SetRow(int row) override { row_ = row; }
    void SetCol2(int col) override { col2_ = col; }
    void SetRow2(int row) override { row2_ = row; }
    int Col() const override { return col_; }
    int Row() const override { return row_; }
    QString Text() const override;
    void SetText(const QString& text) override;
    void SetResultText(const QString& text) override;
    bool IsResultText() const override;
    int ForeColor() const override;
    void SetForeColor(int color) override;
    void SetAction(int action) override;
    int ActiveCol() const override { return activeCol_; }
    void SetEditEnterAction(int action) override { enterAction_ = action; }

    // Column formats of the grid's layout: column 1 is text; 2 to 16 are numbers with one
    // decimal, 13 with two.
    static bool IsNumberColumn(int col) { return grid::IsNumberColumn(col); }
    static int Decimals(int col) { return grid::Decimals(col); }
    // Readings (columns 2 to 11) accept only numbers in -99999999..99999999.
    static bool InRange(int col, double value);

    // Direct cell access by position (no addressing), for the widget and for output.
    QString CellText(int col, int row) const;
    int CellColor(int col, int row) const;
    // Stores a typed or pasted text; false (nothing changed) when the column does not accept it.
    // Number cells take full-width digits, minus and full stop as their ASCII forms, and a
    // number whose value, rounded to the column's decimals, lies in the column's range.
    bool EnterText(int col, int row, const QString& text);
    static bool AcceptsText(int col, const QString& text);
    // The text as a cell of the column reads it: full-width number characters made ASCII in
    // number columns, unchanged in the text column.
    static QString CellFormText(int col, const QString& text);

    // The cursor cell.
    void SetActiveCell(int col, int row);
    int ActiveRow() const { return activeRow_; }
    int EditEnterAction() const { return enterAction_; }

    // A cell's whole state, kept to undo and redo an edit.
    struct CellState {
        QString text;
        std::optional<double> value;
        QString entered;
        int color = kColorBlack;
        bool computed = false;
        bool operator==(const CellState& other) const {
            return text == other.text && value == other.value && entered == other.entered &&
                   color == other.color && computed == other.computed;
        }
        bool operator!=(const CellState& other) const { return !(*this == other); }
    };
    CellState SavedCell(int col, int row) const;
    void RestoreCell(int col, int row, const CellState& state);

    // Between BeginBlock and EndBlock, writes to many cells report one change, (0, 0), at the end
    // instead of one per cell.
    void BeginBlock();
    void EndBlock();

    // Called after a cell's text or colour changed (col, row), and with (0, 0) after a block was
    // cleared. The window's grid control repaints through it.
    std::function<void(int col, int row)> onChanged;

private:
    struct Cell {
        QString text;                // what the cell shows (a number in its column's format)
        std::optional<double> value; // number cells
        QString entered;             // the text last given to a number cell, to skip re-reading
        int color = kColorBlack;
        bool computed = false; // written by the calculations, not typed
    };
    Cell* At(int col, int row);
    const Cell* At(int col, int row) const;
    // Gives the cell a text; true when what it shows changed.
    bool Store(Cell& cell, int col, const QString& text);
    void Changed(int col, int row);

    std::vector<Cell> cells_;
    int col_ = 1, row_ = 1, col2_ = 1, row2_ = 1;
    int activeCol_ = 1, activeRow_ = 1;
    int enterAction_ = kEnterRight;
    int blockDepth_ = 0;
    bool blockChanged_ = false;
};

// Holds back the grid's per-cell change reports for its lifetime (see TGridData::BeginBlock).
class TGridBlockWrite {
public:
    explicit TGridBlockWrite(TGridData& grid) : grid_(grid) { grid_.BeginBlock(); }
    ~TGridBlockWrite() { grid_.EndBlock(); }
    TGridBlockWrite(const TGridBlockWrite&) = delete;
    TGridBlockWrite& operator=(const TGridBlockWrite&) = delete;

private:
    TGridData& grid_;
};

} // namespace tv
