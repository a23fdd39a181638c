#include "measurement/ExcelSheet.h"

#include "measurement/ReadingsFile.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "platform/GridBlock.h"
#include "platform/GridData.h"
#include "platform/GridLayout.h"
#include "platform/NumberText.h"
#include "platform/SafeOutput.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <xlsxwriter.h>

namespace tv {

namespace {

constexpr lxw_color_t kGrey = 0xE8E8E8;
constexpr lxw_color_t kLabelGrey = 0xD8D8D8;

// Rows (counted from 0) of the parts of the sheet.
constexpr lxw_row_t kTitleRow = 0;
constexpr lxw_row_t kHeaderRow = 2;    // 工事名 and 工種名, then three rows of boxes
constexpr lxw_row_t kResultsRow = 7;   // group captions, labels, values
constexpr lxw_row_t kGridHeadRow = 11; // the grid's column headers, then the grid

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

const char16_t* const kGridHeaders[TGridData::kColumns] = {
    u"測定位置", u"１", u"２",   u"３", u"４",    u"５",   u"６",   u"７",
    u"８",       u"９", u"１０", u"Σd", u"Σ(d2)", u"最大", u"最小", u"Ｒ"};

class Sheet {
public:
    Sheet(lxw_workbook* book, lxw_worksheet* sheet) : sheet_(sheet), book_(book) {
        label_ = Format(true);
        format_set_bg_color(label_, kLabelGrey);
        format_set_align(label_, LXW_ALIGN_CENTER);
        text_ = Format(true);
        date_ = Format(true);
        format_set_num_format(date_, "yyyy/mm/dd");
        format_set_align(date_, LXW_ALIGN_LEFT);
        for (int shaded = 0; shaded < 2; ++shaded) {
            for (int red = 0; red < 2; ++red) {
                for (int decimals = 0; decimals < 3; ++decimals) {
                    lxw_format* f = Format(true);
                    format_set_num_format(f, decimals == 0 ? "0" : decimals == 1 ? "0.0" : "0.00");
                    if (red)
                        format_set_font_color(f, LXW_COLOR_RED);
                    if (shaded)
                        format_set_bg_color(f, kGrey);
                    numbers_[shaded][red][decimals] = f;
                }
            }
        }
        title_ = workbook_add_format(book_);
        format_set_bold(title_);
        format_set_font_size(title_, 14);
    }

    lxw_format* Format(bool border) {
        lxw_format* f = workbook_add_format(book_);
        if (border)
            format_set_border(f, LXW_BORDER_THIN);
        return f;
    }

    void Title(const QString& text) {
        worksheet_write_string(sheet_, kTitleRow, 0, Utf8(text).constData(), title_);
    }
    void Label(lxw_row_t row, lxw_col_t col, const QString& text) {
        worksheet_write_string(sheet_, row, col, Utf8(text).constData(), label_);
    }
    void Text(lxw_row_t row, lxw_col_t col, const QString& text, lxw_format* format = nullptr) {
        if (text.isEmpty())
            worksheet_write_blank(sheet_, row, col, format ? format : text_);
        else
            worksheet_write_string(sheet_, row, col, Utf8(text).constData(),
                                   format ? format : text_);
    }
    // A text that is a number goes in as a number; any other text stays text.
    void Value(lxw_row_t row, lxw_col_t col, const QString& text, int decimals, bool red = false,
               bool shaded = false) {
        lxw_format* format = numbers_[shaded ? 1 : 0][red ? 1 : 0][decimals];
        const std::optional<double> value =
            text.trimmed().isEmpty() ? std::nullopt : ParseNumber(text);
        if (value)
            worksheet_write_number(sheet_, row, col, *value, format);
        else
            Text(row, col, text, format);
    }
    void Date(lxw_row_t row, lxw_col_t col, const QDate& date) {
        if (!date.isValid()) {
            Text(row, col, QString());
            return;
        }
        lxw_datetime when = {date.year(), date.month(), date.day(), 0, 0, 0.0};
        worksheet_write_datetime(sheet_, row, col, &when, date_);
    }
    // A label and its box side by side; the box spans `span` columns.
    void Box(lxw_row_t row, lxw_col_t col, const QString& label, const QString& text, int span) {
        Label(row, col, label);
        if (span > 1)
            worksheet_merge_range(sheet_, row, col + 1, row, col + span, "", text_);
        Text(row, col + 1, text);
    }

    lxw_worksheet* sheet_;

private:
    lxw_workbook* book_;
    lxw_format* label_ = nullptr;
    lxw_format* text_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* title_ = nullptr;
    lxw_format* numbers_[2][2][3] = {};
};

void Fill(Sheet& s, const TRokumaKanri& h, const TGridData& grid) {
    lxw_worksheet* ws = s.sheet_;
    // Column widths by disjoint ranges: the position, the readings and Σd, the wider Σ(d2), the
    // largest, smallest and range. A range that overlaps another makes a sheet Excel repairs.
    worksheet_set_column(ws, 0, 0, 12, nullptr);
    worksheet_set_column(ws, 1, 11, 8, nullptr);
    worksheet_set_column(ws, 12, 12, 9, nullptr);
    worksheet_set_column(ws, 13, TGridData::kColumns - 1, 8, nullptr);

    s.Title(QStringLiteral("舗装路面の平坦性測定"));
    // The header boxes.
    const QString work = h.Koji->Code.isEmpty() && h.Koji->Kojimei.isEmpty()
                             ? QString()
                             : h.Koji->Code + QLatin1Char(':') + h.Koji->Kojimei;
    s.Box(kHeaderRow, 0, QStringLiteral("工事名"), work, 7);
    s.Box(kHeaderRow, 9, QStringLiteral("工種名"), h.Kosyu->Kosyumei, 4);
    s.Box(kHeaderRow + 1, 0, QStringLiteral("測定開始点"), h.STARTP, 3);
    s.Box(kHeaderRow + 2, 0, QStringLiteral("測定終了点"), h.ENDP, 3);
    s.Box(kHeaderRow + 3, 0, QStringLiteral("測定距離"), h.KYORI, 3);
    s.Label(kHeaderRow + 1, 5, QStringLiteral("測定日"));
    worksheet_merge_range(ws, kHeaderRow + 1, 6, kHeaderRow + 1, 7, "", nullptr);
    s.Date(kHeaderRow + 1, 6, h.SOKUTEIBI.date());
    s.Box(kHeaderRow + 2, 5, QStringLiteral("測定器"), h.SOKUTEIKI, 3);
    s.Box(kHeaderRow + 3, 5, QStringLiteral("測定者"), h.SOKUTEISYA, 3);

    // The results: of the readings, and of the range method.
    const lxw_row_t captions = kResultsRow, labels = kResultsRow + 1, values = kResultsRow + 2;
    worksheet_merge_range(ws, captions, 1, captions, 4, "", nullptr);
    s.Label(captions, 1, QStringLiteral("測定値から"));
    worksheet_merge_range(ws, captions, 6, captions, 10, "", nullptr);
    s.Label(captions, 6, QStringLiteral("範囲法"));
    struct Result {
        lxw_col_t col;
        const char16_t* label;
        const QString* text;
        int decimals;
    };
    const Result results[] = {{1, u"Σd", &h.SD, 1},
                              {2, u"Σ(d2)", &h.SD2, 2},
                              {3, u"データ数", &h.DATACOUNT, 0},
                              {4, u"標準偏差", &h.HENSA, 2},
                              {6, u"ΣＲ", &h.HOSR, 1},
                              {7, u"測定数", &h.HODATACOUNT, 0},
                              {8, u"標準偏差", &h.HOHENSA, 2},
                              {9, u"Ｇ", &h.GP, 0},
                              {10, u"仕様書の範囲", &h.SIYOUSYO, 1}};
    for (const Result& r : results) {
        s.Label(labels, r.col, QString::fromUtf16(r.label));
        s.Value(values, r.col, *r.text, r.decimals);
    }

    // The grid.
    for (int c = 1; c <= TGridData::kColumns; ++c)
        s.Label(kGridHeadRow, static_cast<lxw_col_t>(c - 1),
                QString::fromUtf16(kGridHeaders[c - 1]));
    const int last = LastFilledRow(grid);
    for (int r = 1; r <= last; ++r) {
        const lxw_row_t row = kGridHeadRow + static_cast<lxw_row_t>(r);
        s.Text(row, 0, grid.CellText(grid::kPositionCol, r));
        for (int c = grid::kPositionCol + 1; c <= TGridData::kColumns; ++c) {
            const bool red = grid::IsReading(c) && grid.CellColor(c, r) != kColorBlack;
            s.Value(row, static_cast<lxw_col_t>(c - 1), grid.CellText(c, r), TGridData::Decimals(c),
                    red, c == grid::kColSum || c == grid::kColSquares);
        }
    }
    worksheet_freeze_panes(ws, kGridHeadRow + 1, 1);

    // Printed on A4 landscape, all sixteen columns on one page wide, as many pages down as the
    // lines need, each with the grid's column headers; the print area ends at the last line.
    worksheet_set_landscape(ws);
    worksheet_set_paper(ws, 9); // A4
    worksheet_fit_to_pages(ws, 1, 0);
    worksheet_repeat_rows(ws, kGridHeadRow, kGridHeadRow);
    worksheet_print_area(ws, 0, 0, kGridHeadRow + static_cast<lxw_row_t>(last),
                         static_cast<lxw_col_t>(TGridData::kColumns - 1));
}

} // namespace

void WriteExcelSheet(const QString& path, const TRokumaKanri& header, const TGridData& grid) {
    // Written to a temporary file beside the target and renamed over it when whole (TOutputFile):
    // a failure leaves an existing file as it was, and a table is never replaced.
    TOutputFile out(path);
    lxw_workbook* book = workbook_new(QFile::encodeName(out.TemporaryPath()).constData());
    if (!book)
        throw TError(QStringLiteral("%1: Excel ファイルを作れません").arg(path));
    lxw_worksheet* worksheet =
        workbook_add_worksheet(book, Utf8(QStringLiteral("平坦性")).constData());
    Sheet sheet(book, worksheet);
    Fill(sheet, header, grid);
    const lxw_error result = workbook_close(book);
    if (result != LXW_NO_ERROR)
        throw TError(QStringLiteral("%1: Excel ファイルを書き込めません（%2）")
                         .arg(path, QString::fromUtf8(lxw_strerror(result))));
    out.Commit();
}

} // namespace tv
