#include "platform/GridData.h"

#include "platform/Cp932.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace tv {

TGridData::TGridData() : cells_(static_cast<size_t>(kColumns) * kRows) {}

bool TGridData::InRange(int col, double value) {
    if (grid::IsReading(col))
        return value >= -grid::kReadingLimit && value <= grid::kReadingLimit;
    return true;
}

TGridData::Cell* TGridData::At(int col, int row) {
    if (col < 1 || col > kColumns || row < 1 || row > kRows)
        return nullptr;
    return &cells_[static_cast<size_t>(row - 1) * kColumns + static_cast<size_t>(col - 1)];
}

const TGridData::Cell* TGridData::At(int col, int row) const {
    return const_cast<TGridData*>(this)->At(col, row);
}

QString TGridData::Text() const {
    return CellText(col_, row_);
}

void TGridData::SetText(const QString& text) {
    Cell* cell = At(col_, row_);
    if (!cell)
        return;
    const bool wasComputed = cell->computed;
    cell->computed = false;
    if (Store(*cell, col_, text) || wasComputed)
        Changed(col_, row_);
}

void TGridData::SetResultText(const QString& text) {
    Cell* cell = At(col_, row_);
    if (!cell)
        return;
    const bool wasTyped = !cell->computed;
    cell->computed = true;
    // The calculations rewrite every result on every run: only a change is reported.
    if (Store(*cell, col_, text) || wasTyped)
        Changed(col_, row_);
}

bool TGridData::IsResultText() const {
    const Cell* cell = At(col_, row_);
    return cell && cell->computed;
}

int TGridData::ForeColor() const {
    return CellColor(col_, row_);
}

void TGridData::SetForeColor(int color) {
    Cell* cell = At(col_, row_);
    if (!cell)
        return;
    cell->color = color;
    Changed(col_, row_);
}

void TGridData::SetAction(int action) {
    if (action != kActionClearText)
        return;
    // -1 in a column or row bound stands for all columns or all rows.
    int c1 = 1, c2 = kColumns, r1 = 1, r2 = kRows;
    if (col_ != -1 && col2_ != -1) {
        c1 = std::max(1, std::min(col_, col2_));
        c2 = std::min(kColumns, std::max(col_, col2_));
    }
    if (row_ != -1 && row2_ != -1) {
        r1 = std::max(1, std::min(row_, row2_));
        r2 = std::min(kRows, std::max(row_, row2_));
    }
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            Cell* cell = At(c, r);
            cell->text.clear();
            cell->value.reset();
            cell->entered.clear();
            // A cleared cell is an empty reading; it must not keep an earlier exclusion.
            cell->color = kColorBlack;
            cell->computed = false;
        }
    }
    Changed(0, 0);
}

QString TGridData::CellText(int col, int row) const {
    const Cell* cell = At(col, row);
    return cell ? cell->text : QString();
}

int TGridData::CellColor(int col, int row) const {
    const Cell* cell = At(col, row);
    return cell ? cell->color : kColorBlack;
}

QString TGridData::CellFormText(int col, const QString& text) {
    if (!IsNumberColumn(col))
        return text;
    // What a Japanese keyboard gives for numbers is read as the ASCII number it stands for.
    return NarrowNumberText(text);
}

bool TGridData::AcceptsText(int col, const QString& text) {
    if (col == grid::kPositionCol) {
        // The measuring position is stored in code-page-932 bytes.
        const std::optional<int> bytes = Cp932Length(text);
        return bytes && *bytes <= grid::kPositionBytes;
    }
    if (!IsNumberColumn(col))
        return false;
    const QString narrow = CellFormText(col, text);
    if (narrow.trimmed().isEmpty())
        return true;
    // The cell holds the number as it shows it, rounded to the column's decimals.
    const std::optional<double> value = ParseNumber(RoundNumberText(narrow, Decimals(col)));
    return value && InRange(col, *value);
}

bool TGridData::EnterText(int col, int row, const QString& text) {
    Cell* cell = At(col, row);
    if (!cell || !AcceptsText(col, text))
        return false;
    cell->computed = false;
    Store(*cell, col, text);
    Changed(col, row);
    return true;
}

void TGridData::SetActiveCell(int col, int row) {
    activeCol_ = col;
    activeRow_ = row;
}

bool TGridData::Store(Cell& cell, int col, const QString& text) {
    if (!IsNumberColumn(col)) {
        const bool changed = cell.text != text;
        cell.text = text;
        return changed;
    }
    // A number cell shows the text rounded to its column's decimals on the text's own decimal
    // digits (half away from zero, as people round), and that shown text is its value: what the
    // calculations read, the save stores and the forms print. The calculations rewrite the same
    // texts on every run: nothing to do for those.
    if (text == cell.entered)
        return false;
    cell.entered = text;
    const QString before = cell.text;
    const QString shown = RoundNumberText(CellFormText(col, text), Decimals(col));
    const std::optional<double> value = ParseNumber(shown);
    if (value && InRange(col, *value)) {
        cell.value = *value;
        cell.text = shown;
    } else {
        cell.value.reset();
        cell.text.clear();
    }
    return cell.text != before;
}

TGridData::CellState TGridData::SavedCell(int col, int row) const {
    const Cell* cell = At(col, row);
    if (!cell)
        return CellState();
    return CellState{cell->text, cell->value, cell->entered, cell->color, cell->computed};
}

void TGridData::RestoreCell(int col, int row, const CellState& state) {
    Cell* cell = At(col, row);
    if (!cell)
        return;
    cell->text = state.text;
    cell->value = state.value;
    cell->entered = state.entered;
    cell->color = state.color;
    cell->computed = state.computed;
    Changed(col, row);
}

void TGridData::BeginBlock() {
    ++blockDepth_;
}

void TGridData::EndBlock() {
    if (blockDepth_ == 0 || --blockDepth_ > 0)
        return;
    if (blockChanged_) {
        blockChanged_ = false;
        Changed(0, 0);
    }
}

void TGridData::Changed(int col, int row) {
    if (blockDepth_ > 0) {
        blockChanged_ = true;
        return;
    }
    if (onChanged)
        onChanged(col, row);
}

} // namespace tv
