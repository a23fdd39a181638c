#include "app/uImportParadox.h"

#include "measurement/ParadoxImport.h"
#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/gui/AppGuard.h"
#include "platform/gui/FormFrame.h"
#include "platform/gui/Help.h"
#include "settings/DataFolder.h"
#include "settings/gui/FolderDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

namespace tv {

namespace {
const QString kDatabase = QStringLiteral("kestran");

} // namespace

QString TableCaption(const QString& table) {
    static const std::pair<const char*, const char16_t*> kCaptions[] = {
        {"RokumaKanri", u"測定"}, {"RokumaLine", u"測定の行"}, {"RokumaData", u"測定値"},
        {"Koji1", u"工事"},       {"Kosyu4", u"工種"},         {"KIKAKUTI4", u"規格値"},
        {"Hacchusya", u"発注者"}, {"Ukeoisya", u"請負者"},     {"Simei", u"氏名"}};
    for (const auto& [name, caption] : kCaptions)
        if (table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(caption);
    return table;
}

TfrmImportParadox::TfrmImportParadox(QWidget* parent) : QDialog(parent) {
    SetUpFixedDialog(this, QStringLiteral("frmImportParadox"), QStringLiteral("旧データの取り込み"),
                     560, 400);

    Label1 = new QLabel(
        QStringLiteral("以前のプログラムのデータフォルダ（読むだけで、変更しません）"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 8, 544, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 26, 464, 21);
    Button1 = new QPushButton(QStringLiteral("参照..."), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(478, 25, 74, 23);
    Button1->setAutoDefault(false);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(8, 56, 544, 200);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::NoSelection);
    ListView1->setHeaderLabels(
        {QStringLiteral("テーブル"), QStringLiteral("件数"), QStringLiteral("状態")});
    ListView1->setColumnWidth(0, 110);
    ListView1->setColumnWidth(1, 60);
    // A long reason scrolls sideways rather than being cut off.
    ListView1->header()->setStretchLastSection(false);

    Label2 = new QLabel(
        QStringLiteral("取り込み先（テーブルのない新しいフォルダ、なければ作成します）"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 266, 544, 16);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(8, 284, 464, 21);
    Button2 = new QPushButton(QStringLiteral("参照..."), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(478, 283, 74, 23);
    Button2->setAutoDefault(false);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(8, 312, 544, 40);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("取り込み"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(376, 362, 85, 27);
    BitBtn1->setEnabled(false);
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("閉じる"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(467, 362, 85, 27);
    BitBtn2->setAutoDefault(false);

    FolderDialog1 = new TFolderDialog(this);
    FolderDialog1->setObjectName(QStringLiteral("FolderDialog1"));
    FolderDialog1->Title = QStringLiteral("以前のデータフォルダの選択");
    FolderDialog2 = new TFolderDialog(this);
    FolderDialog2->setObjectName(QStringLiteral("FolderDialog2"));
    FolderDialog2->Title = QStringLiteral("取り込み先フォルダの選択");
    Help1 = AddHelpKey(this, QStringLiteral("HID00000010"));
    TabInLayoutOrder(this);

    // A new folder beside the current data folder is proposed.
    QString dataFolder;
    try {
        dataFolder = GetDataFolder(kDatabase);
    } catch (const TError&) {
        dataFolder = QDir::homePath();
    }
    Edit2->setText(TParadoxImport::ProposedDestination(dataFolder));
    Label3->setText(QStringLiteral("以前のデータフォルダを選んでください。"));

    connect(Button1, &QPushButton::clicked, this, Handler(this, &TfrmImportParadox::Button1Click));
    connect(Edit1, &QLineEdit::returnPressed, this,
            Handler(this, &TfrmImportParadox::Edit1ReturnPressed));
    connect(Button2, &QPushButton::clicked, this, Handler(this, &TfrmImportParadox::Button2Click));
    connect(BitBtn1, &QPushButton::clicked, this, Handler(this, &TfrmImportParadox::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, Handler(this, &TfrmImportParadox::BitBtn2Click));
}

TfrmImportParadox::~TfrmImportParadox() = default;

void TfrmImportParadox::Button1Click() {
    if (!FolderDialog1->Execute())
        return;
    Edit1->setText(QDir::toNativeSeparators(FolderDialog1->Folder));
    ReadSource();
}

void TfrmImportParadox::Edit1ReturnPressed() {
    ReadSource();
}

void TfrmImportParadox::Button2Click() {
    if (!Edit2->text().isEmpty())
        FolderDialog2->Folder = QFileInfo(Edit2->text()).absolutePath();
    if (FolderDialog2->Execute())
        Edit2->setText(QDir::toNativeSeparators(FolderDialog2->Folder));
}

void TfrmImportParadox::ReadSource() {
    import_.reset();
    ListView1->clear();
    BitBtn1->setEnabled(false);
    Label3->clear();
    {
        TWaitCursor wait;
        import_ = std::make_unique<TParadoxImport>(Edit1->text().trimmed());
    }
    ShowTables();
}

void TfrmImportParadox::ShowTables() {
    ListView1->clear();
    for (const TImportTable& t : import_->Tables()) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, TableCaption(t.Name));
        item->setToolTip(0, t.Name);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        switch (t.Status) {
        case TImportTable::State::Ready:
            item->setText(1, QString::number(t.Rows));
            item->setText(2, QStringLiteral("取り込みます（%1）").arg(t.File));
            break;
        case TImportTable::State::Missing:
            item->setText(1, QStringLiteral("－"));
            item->setText(2, t.Message);
            break;
        case TImportTable::State::Failed:
            item->setText(1, QStringLiteral("－"));
            item->setText(2, QStringLiteral("読み込めません（%1）: %2").arg(t.File, t.Message));
            item->setForeground(2, Qt::red);
            item->setToolTip(2, item->text(2));
            break;
        }
    }
    ListView1->resizeColumnToContents(2);
    const QString problem = import_->Problem();
    BitBtn1->setEnabled(problem.isEmpty());
    Label3->setText(problem.isEmpty()
                        ? QStringLiteral("取り込み先を確かめて「取り込み」を押してください。")
                        : problem);
}

void TfrmImportParadox::BitBtn1Click() {
    if (!import_)
        return;
    const QString dest = Edit2->text().trimmed();
    const QString destProblem = TParadoxImport::DestinationProblem(dest);
    if (!destProblem.isEmpty())
        throw EngineError(destProblem);
    {
        TWaitCursor wait;
        import_->ImportInto(dest);
    }
    int rows = 0, tables = 0;
    for (const TImportTable& t : import_->Tables())
        if (t.Status == TImportTable::State::Ready) {
            rows += t.Rows;
            ++tables;
        }
    QString folder = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(dest).absoluteFilePath()));
    Label3->setText(QStringLiteral("%1 個のテーブル（%2 件）を %3 に取り込みました。")
                        .arg(QString::number(tables), QString::number(rows), folder));
    BitBtn1->setEnabled(false);
    if (AskOkCancel(QStringLiteral("%1 個のテーブル（%2 件）を取り込みました。\n"
                                   "%3 をデータフォルダにしますか？")
                        .arg(QString::number(tables), QString::number(rows), folder))) {
        if (beforeSwitch_ && !beforeSwitch_())
            return;
        if (!folder.endsWith(QDir::separator()))
            folder += QDir::separator();
        SetDataFolder(kDatabase, folder);
        dataFolderChanged_ = true;
        accept();
    }
}

void TfrmImportParadox::BitBtn2Click() {
    reject();
}

} // namespace tv
