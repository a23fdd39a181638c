#include "platform/GridBlock.h"

#include "platform/Cp932.h"
#include "platform/GridLayout.h"
#include "platform/NumberText.h"

namespace tv {

std::optional<TCellInput> CellInput(int col, const QString& field, QString* why) {
    TCellInput input;
    if (!TGridData::IsNumberColumn(col)) {
        input.text = field;
        if (!TGridData::AcceptsText(col, field)) {
            if (why)
                *why = Cp932Length(field)
                           ? QStringLiteral("は長すぎます（「測定位置」は%1です）")
                                 .arg(Cp932LimitText(grid::kPositionBytes))
                           : QStringLiteral("はShift-JIS で表せない文字 '%1' を含んでいます")
                                 .arg(Cp932FirstUnencodable(field));
            return std::nullopt;
        }
        return input;
    }
    QString text = NarrowNumberText(field).trimmed();
    if (grid::IsReading(col) && text.startsWith(QLatin1Char('*'))) {
        text = text.mid(1).trimmed();
        if (!text.isEmpty())
            input.color = kColorRed;
    }
    const std::optional<double> value =
        text.isEmpty() ? std::optional<double>(0.0) : ParseNumber(text);
    if (!value) {
        if (why)
            *why = QStringLiteral("は数値ではありません");
        return std::nullopt;
    }
    if (!TGridData::InRange(col, *value)) {
        if (why)
            *why = QStringLiteral("は -99999999～99999999 の範囲外です");
        return std::nullopt;
    }
    input.text = text;
    return input;
}

std::vector<QStringList> SplitBlockText(const QString& text) {
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (body.endsWith(QLatin1Char('\n')))
        body.chop(1);
    std::vector<QStringList> rows;
    if (body.isEmpty())
        return rows;
    const QChar separator = body.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(',');
    const QStringList lines = body.split(QLatin1Char('\n'));
    rows.reserve(static_cast<size_t>(lines.size()));
    for (const QString& line : lines)
        rows.push_back(line.split(separator));
    return rows;
}

QString CheckBlock(const std::vector<QStringList>& rows, int col, int row,
                   std::vector<TBlockCell>& cells) {
    std::vector<TBlockCell> checked;
    size_t total = 0;
    for (const QStringList& fields : rows)
        total += static_cast<size_t>(fields.size());
    checked.reserve(total);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = row + static_cast<int>(i);
        const QStringList& fields = rows[i];
        for (int j = 0; j < fields.size(); ++j) {
            const int c = col + j;
            const QString& field = fields[j];
            if (r > TGridData::kRows || c > TGridData::kColumns)
                return QStringLiteral("%1 行 %2 列目 '%3' は表の外です（表は %4 列 %5 行まで）")
                    .arg(r)
                    .arg(c)
                    .arg(field)
                    .arg(TGridData::kColumns)
                    .arg(TGridData::kRows);
            QString why;
            const std::optional<TCellInput> input = CellInput(c, field, &why);
            if (!input)
                return QStringLiteral("%1 行 %2 列目 '%3' %4").arg(r).arg(c).arg(field, why);
            checked.push_back({c, r, *input});
        }
    }
    cells = std::move(checked);
    return QString();
}

void WriteBlock(TGridData& grid, const std::vector<TBlockCell>& cells) {
    const TGridBlockWrite block(grid);
    for (const TBlockCell& cell : cells) {
        grid.SetCol(cell.col);
        grid.SetRow(cell.row);
        grid.SetForeColor(cell.input.color);
        grid.SetText(cell.input.text);
    }
}

QString MarkedCellText(const TGridData& grid, int col, int row) {
    QString text = grid.CellText(col, row);
    if (grid::IsReading(col) && !text.isEmpty() && grid.CellColor(col, row) != kColorBlack)
        return QLatin1Char('*') + text;
    return text;
}

QString BlockText(const TGridData& grid, int col1, int row1, int col2, int row2) {
    QString out;
    for (int r = row1; r <= row2; ++r) {
        for (int c = col1; c <= col2; ++c) {
            if (c > col1)
                out += QLatin1Char('\t');
            out += MarkedCellText(grid, c, r);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace tv
