#include "platform/gui/vaSpread.h"

#include "platform/gui/Controls.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QValidator>
#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// The last row holding any text; 0 for an empty grid.
int LastFilledRowOf(const TGridData& data) {
    for (int r = data.MaxRows(); r >= 1; --r)
        for (int c = 1; c <= TGridData::kColumns; ++c)
            if (!data.CellText(c, r).isEmpty())
                return r;
    return 0;
}
const QColor kShade(0xE8, 0xE8, 0xE8);
// Steps of typing, pasting, clearing and clicking kept for undo.
constexpr size_t kUndoSteps = 100;

QString HeaderText(int col) {
    static const char16_t* const headers[TGridData::kColumns] = {
        u"測定位置", u"１", u"２",   u"３", u"４",    u"５",   u"６",   u"７",
        u"８",       u"９", u"１０", u"Σd", u"Σ(d2)", u"最大", u"最小", u"Ｒ"};
    return QString::fromUtf16(headers[col - 1]);
}

// Widths in character widths: the value columns four, Σ(d2) 5.12.
double ColumnChars(int col) {
    return col == 13 ? 5.12 : 4.0;
}

// The widest values a column holds in practice, which must show whole at the window's size:
// readings and 最大/最小/Ｒ to "-99.9", Σd to "-999.9", Σ(d2) to "99999.99", and the ten bytes
// of a measuring position.
QString WidestUsualText(int col) {
    if (col == 1)
        return QStringLiteral("No.123+5.5");
    if (col == 12)
        return QStringLiteral("-999.9");
    if (col == 13)
        return QStringLiteral("99999.99");
    return QStringLiteral("-99.9");
}
} // namespace

// Presents the cells to the view; edits go through TGridData::EnterText, which refuses what the
// column does not accept.
class TSpreadModel : public QAbstractTableModel {
public:
    TSpreadModel(TGridData& data, TvaSpread* grid)
        : QAbstractTableModel(grid), data_(data), grid_(grid) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : data_.MaxRows();
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : TGridData::kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const int col = index.column() + 1, row = index.row() + 1;
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return data_.CellText(col, row);
        case Qt::ForegroundRole:
            return TvaSpread::ToQColor(data_.CellColor(col, row));
        case Qt::BackgroundRole:
            if (col == 12 || col == 13)
                return kShade;
            return QVariant();
        case Qt::TextAlignmentRole:
            return TGridData::IsNumberColumn(col) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                  : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return QVariant();
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole)
            return false;
        const int col = index.column() + 1, row = index.row() + 1;
        const QString before = data_.CellText(col, row);
        if (!data_.EnterText(col, row, value.toString()))
            return false;
        if (data_.CellText(col, row) != before)
            emit grid_->CellEdited(col, row);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (orientation == Qt::Horizontal)
            return HeaderText(section + 1);
        return QString::number(section + 1);
    }
    void CellChanged(int col, int row) {
        if (col == 0 && row == 0) {
            emit dataChanged(index(0, 0), index(data_.MaxRows() - 1, TGridData::kColumns - 1));
            return;
        }
        const QModelIndex i = index(row - 1, col - 1);
        emit dataChanged(i, i);
    }

private:
    TGridData& data_;
    TvaSpread* grid_;
};

// The editor's rule for a number cell: full-width digits, minus and full stop become ASCII as
// they are typed or pasted; then a sign, digits (at most eight before the point in a reading
// column) and a decimal point. What does not fit is refused, and the last refused text tells
// why.
class TNumberCellValidator : public QValidator {
public:
    TNumberCellValidator(int col, QObject* parent) : QValidator(parent), col_(col) {}

    State validate(QString& input, int&) const override {
        input = TGridData::CellFormText(col_, input);
        static const QRegularExpression reading(QStringLiteral("^[-+]?[0-9]{0,8}(\\.[0-9]*)?$"));
        static const QRegularExpression result(QStringLiteral("^[-+]?[0-9]*(\\.[0-9]*)?$"));
        if ((col_ <= 11 ? reading : result).match(input).hasMatch())
            return Acceptable;
        refused_ = input;
        return Invalid;
    }

    // What to tell the user about the text refused last.
    QString RefusalMessage() const {
        static const QRegularExpression tooLong(QStringLiteral("^[-+]?[0-9]{9,}(\\.[0-9]*)?$"));
        if (col_ <= 11 && tooLong.match(refused_).hasMatch())
            return QStringLiteral("-99999999～99999999 の数値を入力してください");
        return QStringLiteral("数値を入力してください");
    }

private:
    int col_;
    mutable QString refused_;
};

// Editors of the cells: numbers only in the number columns (Japanese input off), the measuring
// position limited to what its column stores. Enter commits and is handed to the grid.
class TSpreadDelegate : public QStyledItemDelegate {
public:
    explicit TSpreadDelegate(TvaSpread* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        const int col = index.column() + 1;
        if (TGridData::IsNumberColumn(col)) {
            auto* validator = new TNumberCellValidator(col, editor);
            editor->setValidator(validator);
            // A refused key is never dropped silently.
            connect(editor, &QLineEdit::inputRejected, grid_, [grid = grid_, validator] {
                emit grid->InputRefused(validator->RefusalMessage());
            });
            editor->setAttribute(Qt::WA_InputMethodEnabled, false);
            editor->setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhLatinOnly);
            editor->setAlignment(Qt::AlignRight);
        } else {
            LimitBytes(editor, grid::kPositionBytes, QStringLiteral("測定位置"));
            // The status bar says it too, as for the number cells.
            connect(editor, &QLineEdit::inputRejected, grid_, [grid = grid_, editor] {
                emit grid->InputRefused(editor->property("refusal").toString());
            });
            SetImeOff(editor);
        }
        return editor;
    }

    // An excluded reading stays red when selected, in a red light enough for the selection.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant color = index.data(Qt::ForegroundRole);
        if (color.canConvert<QColor>() && color.value<QColor>() != QColor(Qt::black))
            option->palette.setColor(QPalette::HighlightedText, QColor(0xFF, 0xB0, 0xB0));
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = line->text();
        // A typed text the column cannot take leaves the cell as it was.
        if (TGridData::AcceptsText(index.column() + 1, text))
            model->setData(index, text, Qt::EditRole);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                grid_->EnterPressed();
                return true;
            }
            if (!grid_->caretEdit_ && key->modifiers() == Qt::NoModifier) {
                int dc = 0, dr = 0;
                switch (key->key()) {
                case Qt::Key_Left:
                    dc = -1;
                    break;
                case Qt::Key_Right:
                    dc = 1;
                    break;
                case Qt::Key_Up:
                    dr = -1;
                    break;
                case Qt::Key_Down:
                    dr = 1;
                    break;
                default:
                    break;
                }
                if (dc != 0 || dr != 0) {
                    // The value typed is taken and the cursor moves, as in a spreadsheet.
                    emit commitData(editor);
                    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                    const int col = std::clamp(grid_->ActiveCol() + dc, 1, TGridData::kColumns);
                    const int row = std::clamp(grid_->ActiveRow() + dr, 1, TGridData::kRows);
                    grid_->SetActiveCell(col, row);
                    return true;
                }
            }
            if (!key->text().isEmpty() && key->text().at(0).isPrint())
                emit grid_->KeyPress(key->text().at(0).unicode());
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

public:
    // Draws the cell as the style does, but its text with the grid's small margins. A text wider
    // than its column is condensed to fit, so every value shows whole.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        if (text.isEmpty())
            return;
        const QRect area = opt.rect.adjusted(TvaSpread::kCellMargin, 0, -TvaSpread::kCellMargin, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const int wide = opt.fontMetrics.horizontalAdvance(text);
        if (wide <= area.width() || area.width() <= 0) {
            painter->drawText(area, int(opt.displayAlignment) | Qt::TextSingleLine, text);
        } else {
            // Drawn at its own width into a frame narrowed to the cell.
            const qreal scale = qreal(area.width()) / wide;
            painter->translate(area.left(), 0);
            painter->scale(scale, 1);
            const QRect wideArea(0, area.top(), wide, area.height());
            painter->drawText(wideArea, int(opt.displayAlignment) | Qt::TextSingleLine, text);
        }
        painter->restore();
    }

private:
    TvaSpread* grid_;
};

TvaSpread::TvaSpread(QWidget* parent) : QTableView(parent) {
    model_ = new TSpreadModel(data_, this);
    setModel(model_);
    setItemDelegate(new TSpreadDelegate(this));
    data_.onChanged = [this](int col, int row) { model_->CellChanged(col, row); };
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);

    QFont gridFont(QStringLiteral("ＭＳ Ｐゴシック"));
    gridFont.setPixelSize(12);
    setFont(gridFont);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(gridFont).height() + 3);
    horizontalHeader()->setMinimumSectionSize(10);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    // A column whose edge the user drags keeps that width when the window is resized.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) {
                if (!fitting_ && section >= 0 && section < TGridData::kColumns)
                    userWidth_[section] = newSize;
            });

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        // Shift and Ctrl clicks select a block; they do not exclude readings.
        if (!index.isValid() ||
            (QGuiApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
            return;
        const int col = index.column() + 1, row = index.row() + 1;
        const TGridData::CellState before = data_.SavedCell(col, row);
        emit Click(col, row);
        RecordCell(col, row, before);
    });
    SetActiveCell(1, 1);
}

TvaSpread::~TvaSpread() {
    data_.onChanged = nullptr;
}

QColor TvaSpread::ToQColor(int color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int TvaSpread::ActiveCol() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() + 1 : data_.ActiveCol();
}

int TvaSpread::ActiveRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : data_.ActiveRow();
}

void TvaSpread::CommitEdit() {
    if (state() != EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TvaSpread::SetActiveCell(int col, int row) {
    setCurrentIndex(model_->index(row - 1, col - 1));
    data_.SetActiveCell(col, row);
}

void TvaSpread::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        data_.SetActiveCell(current.column() + 1, current.row() + 1);
}

void TvaSpread::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        EnterPressed();
        return;
    }
    if (SpreadsheetKey(event))
        return;
    QTableView::keyPressEvent(event);
}

bool TvaSpread::SpreadsheetKey(QKeyEvent* event) {
    if (state() == EditingState)
        return false;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::Paste)) {
        PasteClipboard();
    } else if (event->key() == Qt::Key_Delete && !ctrl) {
        ClearSelectedCells();
    } else if (ctrl && !shift && event->key() == Qt::Key_End) {
        // The last filled cell: the last row holding anything, at its last filled column.
        const int row = std::max(1, LastFilledRowOf(data_));
        int col = 1;
        for (int c = TGridData::kColumns; c >= 1; --c)
            if (!data_.CellText(c, row).isEmpty()) {
                col = c;
                break;
            }
        SetActiveCell(col, row);
        scrollTo(model_->index(row - 1, col - 1));
    } else if (ctrl && !shift && event->key() == Qt::Key_Z) {
        Undo();
    } else if ((ctrl && event->key() == Qt::Key_Y) ||
               (ctrl && shift && event->key() == Qt::Key_Z)) {
        Redo();
    } else {
        return false;
    }
    return true;
}

void TvaSpread::SelectedBlock(int& col1, int& row1, int& col2, int& row2) const {
    const QModelIndex current = currentIndex();
    col1 = col2 = current.isValid() ? current.column() + 1 : data_.ActiveCol();
    row1 = row2 = current.isValid() ? current.row() + 1 : data_.ActiveRow();
    const QItemSelection selection = selectionModel()->selection();
    bool first = true;
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid())
            continue;
        const int l = range.left() + 1, r = range.right() + 1;
        const int t = range.top() + 1, b = range.bottom() + 1;
        col1 = first ? l : std::min(col1, l);
        col2 = first ? r : std::max(col2, r);
        row1 = first ? t : std::min(row1, t);
        row2 = first ? b : std::max(row2, b);
        first = false;
    }
}

void TvaSpread::SelectBlock(int col1, int row1, int col2, int row2) {
    const QItemSelection block(model_->index(row1 - 1, col1 - 1),
                               model_->index(row2 - 1, col2 - 1));
    selectionModel()->select(block, QItemSelectionModel::ClearAndSelect);
}

QString TvaSpread::SelectedText() const {
    int col1, row1, col2, row2;
    SelectedBlock(col1, row1, col2, row2);
    return BlockText(data_, col1, row1, col2, row2);
}

void TvaSpread::CopySelection() {
    QGuiApplication::clipboard()->setText(SelectedText());
}

bool TvaSpread::PasteText(const QString& text) {
    const std::vector<QStringList> rows = SplitBlockText(text);
    if (rows.empty())
        return false;
    std::vector<TBlockCell> cells;
    const int col = ActiveCol(), row = ActiveRow();
    const QString refused = CheckBlock(rows, col, row, cells);
    if (!refused.isEmpty()) {
        emit PasteRefused(refused);
        return false;
    }
    WriteCells(cells);
    int width = 0;
    for (const QStringList& fields : rows)
        width = std::max(width, static_cast<int>(fields.size()));
    SelectBlock(col, row, col + width - 1, row + static_cast<int>(rows.size()) - 1);
    emit BlockEdited();
    return true;
}

void TvaSpread::PasteClipboard() {
    PasteText(QGuiApplication::clipboard()->text());
}

void TvaSpread::ClearSelectedCells() {
    int col1, row1, col2, row2;
    SelectedBlock(col1, row1, col2, row2);
    std::vector<TBlockCell> cells;
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            if (!data_.CellText(c, r).isEmpty() || data_.CellColor(c, r) != kColorBlack)
                cells.push_back({c, r, TCellInput()});
    if (cells.empty())
        return;
    WriteCells(cells);
    emit BlockEdited();
}

void TvaSpread::WriteCells(const std::vector<TBlockCell>& cells) {
    UndoStep step;
    step.reserve(cells.size());
    for (const TBlockCell& cell : cells)
        step.push_back({cell.col, cell.row, data_.SavedCell(cell.col, cell.row), {}});
    WriteBlock(data_, cells);
    for (CellChange& change : step)
        change.after = data_.SavedCell(change.col, change.row);
    PushStep(std::move(step));
}

void TvaSpread::ReplaceCells(const TGridData& source) {
    UndoStep step;
    for (int r = 1; r <= data_.MaxRows(); ++r) {
        for (int c = 1; c <= TGridData::kColumns; ++c) {
            TGridData::CellState before = data_.SavedCell(c, r);
            TGridData::CellState after = source.SavedCell(c, r);
            if (before != after)
                step.push_back({c, r, std::move(before), std::move(after)});
        }
    }
    {
        const TGridBlockWrite block(data_);
        for (const CellChange& change : step)
            data_.RestoreCell(change.col, change.row, change.after);
    }
    PushStep(std::move(step));
}

void TvaSpread::commitData(QWidget* editor) {
    // A typed text goes into the cursor cell; kept as a step to undo.
    const QModelIndex index = currentIndex();
    if (!index.isValid()) {
        QTableView::commitData(editor);
        return;
    }
    const int col = index.column() + 1, row = index.row() + 1;
    const TGridData::CellState before = data_.SavedCell(col, row);
    QTableView::commitData(editor);
    RecordCell(col, row, before);
}

void TvaSpread::RecordCell(int col, int row, const TGridData::CellState& before) {
    const TGridData::CellState after = data_.SavedCell(col, row);
    if (after != before)
        PushStep(UndoStep{CellChange{col, row, before, after}});
}

void TvaSpread::PushStep(UndoStep step) {
    if (step.empty())
        return;
    undo_.push_back(std::move(step));
    if (undo_.size() > kUndoSteps)
        undo_.erase(undo_.begin());
    redo_.clear();
}

void TvaSpread::ApplyStep(const UndoStep& step, bool forward) {
    {
        const TGridBlockWrite block(data_);
        for (const CellChange& change : step)
            data_.RestoreCell(change.col, change.row, forward ? change.after : change.before);
    }
    int col1 = step.front().col, col2 = col1, row1 = step.front().row, row2 = row1;
    for (const CellChange& change : step) {
        col1 = std::min(col1, change.col);
        col2 = std::max(col2, change.col);
        row1 = std::min(row1, change.row);
        row2 = std::max(row2, change.row);
    }
    SelectBlock(col1, row1, col2, row2);
    emit BlockEdited();
}

void TvaSpread::Undo() {
    if (undo_.empty())
        return;
    UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    ApplyStep(step, false);
    redo_.push_back(std::move(step));
}

void TvaSpread::Redo() {
    if (redo_.empty())
        return;
    UndoStep step = std::move(redo_.back());
    redo_.pop_back();
    ApplyStep(step, true);
    undo_.push_back(std::move(step));
}

void TvaSpread::ForgetUndo() {
    undo_.clear();
    redo_.clear();
}

void TvaSpread::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumns();
}

int TvaSpread::NeededColumnWidth(int col) const {
    return fontMetrics().horizontalAdvance(WidestUsualText(col)) + 2 * kCellMargin;
}

// The character width is the smallest with which every four-character column holds its widest
// usual value; Σ(d2) is 5.12 of them, or what "99999.99" needs when that is more; the measuring
// position is as wide as its ten bytes need.
double TvaSpread::BaseColumnWidth(int col) const {
    if (col == 1)
        return NeededColumnWidth(1);
    double charWidth = 0;
    for (int c = 2; c <= TGridData::kColumns; ++c)
        if (c != 13)
            charWidth = std::max(charWidth, NeededColumnWidth(c) / ColumnChars(c));
    return std::max(std::ceil(charWidth * ColumnChars(col)), double(NeededColumnWidth(col)));
}

int TvaSpread::NeededTotalWidth() const {
    double total = 0;
    for (int col = 1; col <= TGridData::kColumns; ++col)
        total += BaseColumnWidth(col);
    return int(std::ceil(total));
}

int TvaSpread::AvailableWidth() const {
    return width() - 2 * frameWidth() - verticalHeader()->sizeHint().width() -
           verticalScrollBar()->sizeHint().width();
}

void TvaSpread::FitFontToWidth() {
    QFont gridFont = font();
    // In half pixels from 12 down to 8.
    for (int halfPixels = 24; halfPixels >= 16; --halfPixels) {
        gridFont.setPointSizeF(halfPixels / 2.0 * 72.0 / logicalDpiY());
        setFont(gridFont);
        if (NeededTotalWidth() <= AvailableWidth())
            break;
    }
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
    FitColumns();
}

bool TvaSpread::CellTextFits(int col, int row) const {
    const QString text = data_.CellText(col, row);
    return text.isEmpty() ||
           fontMetrics().horizontalAdvance(text) <= columnWidth(col - 1) - 2 * kCellMargin;
}

bool TvaSpread::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A text cut by its column shows whole in the tooltip.
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && !CellTextFits(index.column() + 1, index.row() + 1))
            QToolTip::showText(help->globalPos(),
                               data_.CellText(index.column() + 1, index.row() + 1), viewport(),
                               visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

// The columns keep the proportions of their needed widths and share the grid's width; more room
// widens them all. Columns the user widened by hand keep their width.
void TvaSpread::FitColumns() {
    const int needed = NeededTotalWidth();
    const double scale = std::max(1.0, double(AvailableWidth()) / needed);
    fitting_ = true;
    for (int col = 1; col <= TGridData::kColumns; ++col) {
        const int w =
            userWidth_[col - 1] > 0 ? userWidth_[col - 1] : int(BaseColumnWidth(col) * scale);
        setColumnWidth(col - 1, w);
    }
    fitting_ = false;
}

void TvaSpread::EnterPressed() {
    emit KeyPress(13);
    MoveAfterEnter();
}

bool TvaSpread::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened)
        caretEdit_ = trigger == EditKeyPressed || trigger == DoubleClicked;
    return opened;
}

void TvaSpread::MoveAfterEnter() {
    if (enterCol_ > 0 && enterRow_ > 0) {
        SetActiveCell(enterCol_, enterRow_);
        enterCol_ = enterRow_ = 0;
        return;
    }
    int col = ActiveCol(), row = ActiveRow();
    switch (data_.EditEnterAction()) {
    case kEnterRight:
        if (col < TGridData::kColumns)
            ++col;
        break;
    case kEnterNextRow:
        if (row < data_.MaxRows()) {
            ++row;
            col = 1;
        }
        break;
    case kEnterDown:
        if (row < data_.MaxRows())
            ++row;
        break;
    default:
        break;
    }
    SetActiveCell(col, row);
}

} // namespace tv
