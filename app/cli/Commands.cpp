#include "app/cli/Commands.h"

#include "app/cli/CalcCommand.h"
#include "app/cli/CopyDataCommand.h"
#include "app/cli/ExportCommand.h"
#include "app/cli/ImportCommand.h"
#include "app/cli/ImportParadoxCommand.h"
#include "app/cli/Output.h"

#include <QStringList>

#ifdef TAVELON_PRINT
#include "app/cli/print/PrintCommand.h"
#endif

namespace tv::cli {

namespace {

QString Usage() {
    return QStringLiteral(
        "使い方:\n"
        "  tavelon calc [--group-size G] [--grid] FILE\n"
        "      CSV ファイル FILE（UTF-8 または Shift-JIS、- は標準入力）の各行を測定値の一行\n"
        "      （1 列目 測定位置、2～11 列目 測定値、12～16 列目 Σd, Σ(d2), 最大, 最小, Ｒ）\n"
        "      として平坦性を計算し、結果を SD= などの行で出力します。\n"
        "      * で始まる測定値は除外（赤）として扱います。\n"
        "      --group-size G  範囲法の群の大きさＧ（6～10、省略時 10）\n"
        "      --grid          計算後の表を CSV で続けて出力します\n"
        "  tavelon export --work CODE --type NAME [--xlsx FILE]\n"
        "      データフォルダに登録された工事 CODE・工種 NAME の測定を、calc が読む CSV で\n"
        "      出力します（除外された測定値は * 付き）。--xlsx のときは Excel ファイル FILE に\n"
        "      書き出します。\n"
        "  tavelon import --work CODE --type NAME [--layout grid|logger] [--date YYYY/MM/DD]\n"
        "                 [--start T] [--end T] [--distance T] [--instrument T] [--person T]\n"
        "                 [--group-size G] [--spec-range T] [--replace] FILE\n"
        "      FILE（CSV またはテキスト、UTF-8 または Shift-JIS）の測定値を読み込み、画面と同じ\n"
        "      計算をして工事 CODE・工種 NAME の測定として登録し、結果を calc と同じ行で\n"
        "      出力します。形式 grid は calc と同じ表形式、logger は一行に測定値一つ（前に\n"
        "      測定位置を置けます）で、省略時は判定します。登録済みの測定は --replace の\n"
        "      ときだけ置き換えます。工事 CODE は登録されている必要があります。\n"
        "  tavelon print --work CODE --type NAME --form handbook|bureau --pdf FILE\n"
        "      工事 CODE・工種 NAME の測定を、画面の印刷と同じ様式（handbook 舗装試験法便覧、\n"
        "      bureau 北海道開発局）で A4 縦の PDF ファイル FILE に出力します。\n"
        "  tavelon print --work CODE --type NAME --chart --pdf FILE\n"
        "      その測定の平坦性プロファイルと範囲 (R) 管理図を、グラフ画面の印刷と同じく\n"
        "      A4 横の PDF ファイル FILE に出力します。\n"
        "  tavelon print --standard-values --pdf FILE\n"
        "      規格値の一覧を PDF ファイル FILE に出力します。\n"
        "      --pdf FILE の代わりに --printer NAME でプリンタ NAME に印刷します。\n"
        "  tavelon printers\n"
        "      登録されているプリンタの名前を一行に一つずつ出力します。\n"
        "  tavelon import-paradox SRC --into DEST\n"
        "      以前のプログラムのデータフォルダ SRC の Paradox テーブルを、新しいデータフォルダ\n"
        "      DEST（なければ作成、テーブルのないフォルダ）に取り込み、テーブルごとの件数を\n"
        "      出力します。失敗したときは DEST に何も残しません。SRC は読むだけです。\n"
        "  tavelon copy-data --from SRC --to DEST\n"
        "      九つのテーブルを SRC から DEST にすべてコピーし、テーブルごとの件数を出力します。\n"
        "      SRC と DEST はデータフォルダか postgresql:// のサーバーです。DEST にテーブルが\n"
        "      あるときは行いません。失敗したときは DEST に何も残しません。\n"
        "  tavelon --help\n"
        "      この説明を表示します。\n"
        "終了コード: 0 正常、2 入力の誤り\n");
}

} // namespace

int Run(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.isEmpty()) {
        PrintError(QStringLiteral("コマンドを指定してください（tavelon --help）"));
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        PrintOut(Usage());
        return 0;
    }
    if (command == QLatin1String("calc")) {
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            PrintOut(Usage());
            return 0;
        }
        return RunCalc(args);
    }
    if (command == QLatin1String("export")) {
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            PrintOut(Usage());
            return 0;
        }
        return RunExport(args);
    }
    if (command == QLatin1String("import")) {
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            PrintOut(Usage());
            return 0;
        }
        return RunImport(args);
    }
    if (command == QLatin1String("import-paradox")) {
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            PrintOut(Usage());
            return 0;
        }
        return RunImportParadox(args);
    }
    if (command == QLatin1String("copy-data")) {
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            PrintOut(Usage());
            return 0;
        }
        return RunCopyData(args);
    }
    if (command == QLatin1String("print") || command == QLatin1String("printers")) {
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            PrintOut(Usage());
            return 0;
        }
#ifdef TAVELON_PRINT
        return command == QLatin1String("print") ? RunPrint(argc, argv, args)
                                                 : RunPrinters(argc, argv, args);
#else
        // Built with Qt Core only (TV_GUI=OFF): there is no page drawing.
        PrintError(QStringLiteral("この tavelon は印刷なしで作られています"));
        return 2;
#endif
    }
    PrintError(QStringLiteral("不明なコマンドです: %1（tavelon --help）").arg(command));
    return 2;
}

} // namespace tv::cli
