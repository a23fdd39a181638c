#include "platform/gui/vaSpread.h"

#include "platform/gui/Controls.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QValidator>

namespace tv {

namespace {
const QColor kShade(0xE8, 0xE8, 0xE8);

QString HeaderText(int col) {
    static const char16_t* const headers[TGridData::kColumns] = {
        u"測定位置", u"１", u"２",   u"３", u"４",    u"５",   u"６",   u"７",
        u"８",       u"９", u"１０", u"Σd", u"Σ(d2)", u"最大", u"最小", u"Ｒ"};
    return QString::fromUtf16(headers[col - 1]);
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
            LimitBytes(editor, 10);
            SetImeOff(editor);
        }
        return editor;
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
            if (!key->text().isEmpty() && key->text().at(0).isPrint())
                emit grid_->KeyPress(key->text().at(0).unicode());
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TvaSpread* grid_;
};

TvaSpread::TvaSpread(QWidget* parent) : QTableView(parent) {
    model_ = new TSpreadModel(data_, this);
    setModel(model_);
    setItemDelegate(new TSpreadDelegate(this));
    data_.onChanged = [this](int col, int row) { model_->CellChanged(col, row); };
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);

    QFont gridFont(QStringLiteral("ＭＳ Ｐゴシック"));
    gridFont.setPixelSize(12);
    setFont(gridFont);
    const QFontMetrics metrics(gridFont);
    horizontalHeader()->setMinimumSectionSize(10);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit Click(index.column() + 1, index.row() + 1);
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
    if (event->key() == Qt::Key_Delete && state() != EditingState) {
        const QModelIndex index = currentIndex();
        if (index.isValid())
            model_->setData(index, QString(), Qt::EditRole);
        return;
    }
    QTableView::keyPressEvent(event);
}

void TvaSpread::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumns();
}

// Columns 2 to 16 are four character widths wide (column 13 5.12), the measuring position nine;
// the character width is chosen so that all sixteen columns fit the visible width.
void TvaSpread::FitColumns() {
    constexpr double kPositionChars = 9.0;
    constexpr double kTotalChars = kPositionChars + 14 * 4.0 + 5.12;
    const int scrollBar = verticalScrollBar()->sizeHint().width();
    const int available = width() - 2 * frameWidth() - verticalHeader()->width() - scrollBar;
    const double charWidth = qMax(4.0, available / kTotalChars);
    int used = 0;
    for (int col = 2; col <= TGridData::kColumns; ++col) {
        const int w = int(charWidth * (col == 13 ? 5.12 : 4.0));
        setColumnWidth(col - 1, w);
        used += w;
    }
    setColumnWidth(0, qMax(int(charWidth * kPositionChars), available - used));
}

void TvaSpread::EnterPressed() {
    emit KeyPress(13);
    MoveAfterEnter();
}

void TvaSpread::MoveAfterEnter() {
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
