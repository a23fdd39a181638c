#include "platform/gui/vaSpread.h"

#include "platform/gui/Controls.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <cmath>

namespace tv {

namespace {
const QColor kShade(0xE8, 0xE8, 0xE8);

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
    explicit TSpreadModel(TGridData& data, QObject* parent)
        : QAbstractTableModel(parent), data_(data) {}

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
        return data_.EnterText(index.column() + 1, index.row() + 1, value.toString());
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
            static const QRegularExpression number(QStringLiteral("[-+]?[0-9]{0,8}(\\.[0-9]*)?"));
            static const QRegularExpression wide(QStringLiteral("[-+]?[0-9]*(\\.[0-9]*)?"));
            editor->setValidator(
                new QRegularExpressionValidator(col <= 11 ? number : wide, editor));
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

public:
    // Draws the cell as the style does, but its text with the grid's small margins. A text wider
    // than its column is cut with an ellipsis, never silently; its tooltip shows it whole.
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
        const QString shown = opt.fontMetrics.horizontalAdvance(text) <= area.width()
                                  ? text
                                  : opt.fontMetrics.elidedText(text, Qt::ElideRight, area.width());
        painter->drawText(area, int(opt.displayAlignment) | Qt::TextSingleLine, shown);
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
    setSelectionMode(QAbstractItemView::SingleSelection);
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
