#pragma once
// The spreadsheet grid of the measurement window: a table view over the grid's cells (TGridData)
// offering the grid contract. Clicks and typed characters are reported through the Click and
// KeyPress signals; Enter commits the typed text, reports character 13 and then moves the cursor
// as EditEnterAction says (4 right, 8 to the start of the next row, 2 down).
#include "platform/GridBlock.h"
#include "platform/GridData.h"

#include <QTableView>
#include <vector>

namespace tv {

class TSpreadModel;

class TvaSpread : public QTableView, public TGrid {
    Q_OBJECT
public:
    explicit TvaSpread(QWidget* parent = nullptr);
    ~TvaSpread() override;

    // The grid contract.
    int MaxRows() const override { return data_.MaxRows(); }
    void SetCol(int col) override { data_.SetCol(col); }
    void SetRow(int row) override { data_.SetRow(row); }
    void SetCol2(int col) override { data_.SetCol2(col); }
    void SetRow2(int row) override { data_.SetRow2(row); }
    int Col() const override { return data_.Col(); }
    int Row() const override { return data_.Row(); }
    QString Text() const override { return data_.Text(); }
    void SetText(const QString& text) override { data_.SetText(text); }
    void SetResultText(const QString& text) override { data_.SetResultText(text); }
    bool IsResultText() const override { return data_.IsResultText(); }
    int ForeColor() const override { return data_.ForeColor(); }
    void SetForeColor(int color) override { data_.SetForeColor(color); }
    // Clearing cells from the program (loading a measurement) also forgets the undo history.
    void SetAction(int action) override {
        data_.SetAction(action);
        ForgetUndo();
    }
    int ActiveCol() const override;
    void SetEditEnterAction(int action) override { data_.SetEditEnterAction(action); }

    int ActiveRow() const;
    // Takes a text still being typed into its cell, as Enter would (without moving the cursor),
    // so a save, print or recalculation sees it.
    void CommitEdit();
    // Moves the cursor to a cell (columns and rows from 1).
    void SetActiveCell(int col, int row);
    // The cell the next Enter moves to, once, instead of where EditEnterAction says.
    void SetEnterTarget(int col, int row) {
        enterCol_ = col;
        enterRow_ = row;
    }
    TGridData& Cells() { return data_; }

    // Converts a grid colour (0x00BBGGRR) to a QColor.
    static QColor ToQColor(int color);

    // Editing like a spreadsheet: a block is selected with the mouse or Shift+arrows; Ctrl+C
    // copies it, Ctrl+V pastes from the cursor cell, Delete clears it, Ctrl+Z and Ctrl+Y undo
    // and redo the last typing, paste, clear or exclusion click. Each block edit is reported
    // once through BlockEdited.

    // The selected block (the cursor cell when nothing is selected), columns and rows from 1.
    void SelectedBlock(int& col1, int& row1, int& col2, int& row2) const;
    void SelectBlock(int col1, int row1, int col2, int row2);
    // The selected block as tab-separated text, and onto the clipboard.
    QString SelectedText() const;
    void CopySelection();
    // Pastes text at the cursor cell when every field fits its cell; otherwise nothing changes
    // and PasteRefused names the first bad field. True when pasted.
    bool PasteText(const QString& text);
    void PasteClipboard();
    // Empties the cells of the selected block (an exclusion goes with its reading).
    void ClearSelectedCells();
    // Writes checked cells as one step that can be undone.
    void WriteCells(const std::vector<TBlockCell>& cells);
    // Makes every cell what it is in `source` (an imported file), as one step that can be undone.
    void ReplaceCells(const TGridData& source);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    void Undo();
    void Redo();
    void ForgetUndo();
    // Space left and right of a cell's text, in pixels.
    static constexpr int kCellMargin = 2;
    // Chooses the largest grid font (at most 12 pixels, at least 8) with which the widest values
    // the columns hold in practice fit whole at the grid's present width, and sizes the columns.
    void FitFontToWidth();
    // The width a column needs for its widest usual value, margins included, at the grid's font.
    int NeededColumnWidth(int col) const;
    // Whether a cell's text shows whole in its column as it is now wide.
    bool CellTextFits(int col, int row) const;

signals:
    void Click(int col, int row);
    void KeyPress(int key);
    // The user changed a cell's text (typed, pasted or deleted).
    void CellEdited(int col, int row);
    // A key or paste a cell cannot take was refused; `message` says what the cell takes.
    void InputRefused(const QString& message);
    // Cells changed as a block: pasted, cleared, undone or redone.
    void BlockEdited();
    void PasteRefused(const QString& message);

protected:
    // Typing into a cell edits it as a spreadsheet does: the arrows take the value and move.
    // F2 and a double click edit with the caret, and the arrows move inside the text.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class TSpreadDelegate;
    // Enter in the cursor cell, after a typed text was committed.
    void EnterPressed();
    void MoveAfterEnter();
    void FitColumns();
    bool SpreadsheetKey(QKeyEvent* event);

    struct CellChange {
        int col = 0;
        int row = 0;
        TGridData::CellState before;
        TGridData::CellState after;
    };
    using UndoStep = std::vector<CellChange>;
    // Records a change of one cell (typing, an exclusion click) as a step.
    void RecordCell(int col, int row, const TGridData::CellState& before);
    void PushStep(UndoStep step);
    void ApplyStep(const UndoStep& step, bool forward);

    int enterCol_ = 0, enterRow_ = 0; // the next Enter's cell, when set

    bool caretEdit_ = false; // the editor was opened with F2 or a double click

    std::vector<UndoStep> undo_;
    std::vector<UndoStep> redo_;
    // The width of the fifteen value columns and the measuring position at the grid's font.
    int NeededTotalWidth() const;
    double BaseColumnWidth(int col) const;
    int AvailableWidth() const;

    TGridData data_;
    TSpreadModel* model_ = nullptr;
    // Columns whose edge the user dragged keep their width (0: fitted to the grid's width).
    int userWidth_[16] = {};
    bool fitting_ = false;
};

} // namespace tv
