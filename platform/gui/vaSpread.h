#pragma once
// The spreadsheet grid of the measurement window: a table view over the grid's cells (TGridData)
// offering the grid contract. Clicks and typed characters are reported through the Click and
// KeyPress signals; Enter commits the typed text, reports character 13 and then moves the cursor
// as EditEnterAction says (4 right, 8 to the start of the next row, 2 down).
#include "platform/GridData.h"

#include <QTableView>

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
    int ForeColor() const override { return data_.ForeColor(); }
    void SetForeColor(int color) override { data_.SetForeColor(color); }
    void SetAction(int action) override { data_.SetAction(action); }
    int ActiveCol() const override;
    void SetEditEnterAction(int action) override { data_.SetEditEnterAction(action); }

    int ActiveRow() const;
    // Takes a text still being typed into its cell, as Enter would (without moving the cursor),
    // so a save, print or recalculation sees it.
    void CommitEdit();
    // Moves the cursor to a cell (columns and rows from 1).
    void SetActiveCell(int col, int row);
    TGridData& Cells() { return data_; }

    // Converts a grid colour (0x00BBGGRR) to a QColor.
    static QColor ToQColor(int color);

signals:
    void Click(int col, int row);
    void KeyPress(int key);
    // The user changed a cell's text (typed, pasted or deleted).
    void CellEdited(int col, int row);
    // A key or paste a cell cannot take was refused; `message` says what the cell takes.
    void InputRefused(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class TSpreadDelegate;
    // Enter in the cursor cell, after a typed text was committed.
    void EnterPressed();
    void MoveAfterEnter();
    void FitColumns();

    TGridData data_;
    TSpreadModel* model_ = nullptr;
};

} // namespace tv
