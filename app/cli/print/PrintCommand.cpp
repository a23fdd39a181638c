#include "app/cli/print/PrintCommand.h"

#include "app/cli/Options.h"
#include "app/cli/Output.h"
#include "app/forms/MeasurementChart.h"
#include "app/forms/PrintResultsTable.h"
#include "app/forms/PrintTestReportSheet.h"
#include "measurement/MeasurementReader.h"
#include "measurement/uRokuma.h"
#include "platform/Errors.h"
#include "printing/PageDocument.h"
#include "printing/Printer.h"
#include "registers/print/PrintKikakuti4List.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

namespace tv::cli {

namespace {

const QString kWork = QStringLiteral("--work");
const QString kType = QStringLiteral("--type");
const QString kForm = QStringLiteral("--form");
const QString kPdf = QStringLiteral("--pdf");
const QString kPrinter = QStringLiteral("--printer");
const QString kStandardValues = QStringLiteral("--standard-values");
const QString kChart = QStringLiteral("--chart");

enum class TForm { Handbook, Bureau, StandardValues, Chart };

// Qt's notes about its environment (a missing runtime folder and the like) would mix with the
// command's own one-line messages on standard error; only a fatal error is let through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg)
        PrintError(message);
}

// Qt's painting and fonts need an application object; the command opens no window, so it runs
// on the offscreen platform unless one was chosen explicitly.
std::unique_ptr<QGuiApplication> MakeApplication(int& argc, char** argv) {
    qInstallMessageHandler(QuietQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// What the options ask for; an error text when they are not usable.
QString ReadPrintOptions(const QStringList& args, TOptions& options, TForm& form) {
    QString error = ReadOptions(args, {kWork, kType, kForm, kPdf, kPrinter},
                                {kStandardValues, kChart}, options);
    if (!error.isEmpty())
        return error;
    if (options.Has(kPdf) == options.Has(kPrinter))
        return options.Has(kPdf) ? QStringLiteral("--pdf と --printer は同時に指定できません")
                                 : QStringLiteral("--pdf FILE か --printer NAME で出力先を指定して"
                                                  "ください");
    if (options.Has(kPdf) && options.Value(kPdf).isEmpty())
        return QStringLiteral("--pdf に出力するファイル名を指定してください");
    if (options.Has(kStandardValues)) {
        if (options.Has(kWork) || options.Has(kType) || options.Has(kForm) || options.Has(kChart))
            return QStringLiteral(
                "--standard-values には --work, --type, --form, --chart は指定できません");
        form = TForm::StandardValues;
        return QString();
    }
    if (!options.Has(kWork))
        return QStringLiteral("--work で工事コードを指定してください");
    if (!options.Has(kType))
        return QStringLiteral("--type で工種名を指定してください");
    if (options.Has(kChart)) {
        if (options.Has(kForm))
            return QStringLiteral("--chart と --form は同時に指定できません");
        form = TForm::Chart;
        return QString();
    }
    if (!options.Has(kForm))
        return QStringLiteral("--form で様式（handbook または bureau）を指定してください");
    const QString name = options.Value(kForm);
    if (name == QLatin1String("handbook"))
        form = TForm::Handbook;
    else if (name == QLatin1String("bureau"))
        form = TForm::Bureau;
    else
        return QStringLiteral("不明な様式です: %1（handbook または bureau）").arg(name);
    return QString();
}

// Draws the form's pages on the document; an error text when there is nothing to print.
QString RecordForm(TForm form, const TOptions& options, TPageDocument& doc) {
    if (form == TForm::StandardValues) {
        doc.BeginDoc();
        PrintKikakuti4List(doc);
        doc.EndDoc();
        return QString();
    }
    const QString work = options.Value(kWork);
    const QString type = options.Value(kType);
    if (StoredMeasurementIds(work, type).empty())
        return QStringLiteral("工事 %1 の工種 %2 の測定は登録されていません").arg(work, type);
    // The header as the main window loads it: with the work's name and the work type.
    TRokumaKanri header;
    header.Koji->LoadByCode(work);
    header.Kosyu->FindByName(type);
    header.LoadByWork();
    if (form == TForm::Chart) {
        // The charts fill one landscape page, also when the measurement has no readings.
        doc.BeginDoc();
        PrintFlatnessChart(doc, StoredMeasurementChart(header));
        doc.EndDoc();
        return QString();
    }
    doc.BeginDoc();
    const int pages = form == TForm::Handbook ? PrintTestReportSheet(doc, header)
                                              : PrintResultsTable(doc, header);
    doc.EndDoc();
    if (pages == 0)
        return QStringLiteral("工事 %1 の工種 %2 の測定には測定値がありません").arg(work, type);
    return QString();
}

QString FormTitle(TForm form) {
    switch (form) {
    case TForm::Handbook:
        return QStringLiteral("舗装路面の平坦性測定");
    case TForm::Bureau:
        return QStringLiteral("舗装表層の平たん度出来形測定結果一覧表");
    case TForm::Chart:
        return QStringLiteral("平坦性グラフ");
    case TForm::StandardValues:
        break;
    }
    return QStringLiteral("規格値一覧");
}

} // namespace

int RunPrint(int argc, char** argv, const QStringList& args) {
    TOptions options;
    TForm form = TForm::Handbook;
    const QString optionError = ReadPrintOptions(args, options, form);
    if (!optionError.isEmpty()) {
        PrintError(optionError);
        return 2;
    }
    const std::unique_ptr<QGuiApplication> app = MakeApplication(argc, argv);
    try {
        if (options.Has(kPrinter)) {
            const QString name = options.Value(kPrinter);
            const QPrinterInfo info = QPrinterInfo::printerInfo(name);
            if (info.isNull()) {
                PrintError(QStringLiteral("プリンタ %1 は登録されていません").arg(name));
                return 2;
            }
            SetPrinterSource(
                [info] { return std::make_unique<QPrinter>(info, QPrinter::HighResolution); });
        } else {
            // The PDF stand-in of the preview on a machine without a printer: A4 at 600 dpi.
            SetPrinterSource([] { return PdfPrinter(); });
        }
        SetCurrentOrientation(form == TForm::Chart ? TOrientation::Landscape
                                                   : TOrientation::Portrait);
        TPageDocument doc;
        const QString nothing = RecordForm(form, options, doc);
        if (!nothing.isEmpty()) {
            PrintError(nothing);
            return 2;
        }
        const auto& pages = doc.Pages();
        QPrinter& printer = *CurrentPrinter();
        if (options.Has(kPdf)) {
            SavePagesAsPdf(pages, 1, int(pages.size()), 100, 100, printer, options.Value(kPdf),
                           FormTitle(form));
        } else {
            printer.setDocName(FormTitle(form));
            PrintPages(pages, 1, int(pages.size()), 100, 100, printer);
        }
        return 0;
    } catch (const TError& e) {
        PrintError(e.Message().replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return 2;
    }
}

int RunPrinters(int argc, char** argv, const QStringList& args) {
    if (!args.isEmpty()) {
        PrintError(QStringLiteral("不明な引数です: %1").arg(args.first()));
        return 2;
    }
    const std::unique_ptr<QGuiApplication> app = MakeApplication(argc, argv);
    QString out;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        out += name + QLatin1Char('\n');
    PrintOut(out);
    return 0;
}

} // namespace tv::cli
