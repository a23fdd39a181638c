#include "platform/gui/Dialogs.h"

#include "platform/gui/AppGuard.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

namespace tv {

namespace {

// Without installed dialogs: the messages of the layers below, nothing opened.
class TNoDialogs final : public TDialogs {
public:
    void ShowMessage(const QString& text) override { tv::ShowMessage(text); }
    bool AskOkCancel(const QString& text) override { return tv::AskOkCancel(text); }
    TAnswer AskYesNo(const QString& text, TQuestion question) override {
        if (question == TQuestion::YesNo)
            return tv::AskYesNo(text) ? TAnswer::Yes : TAnswer::No;
        return tv::AskYesNoCancel(text);
    }
    std::optional<QColor> PickColor(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QString> PickFolder(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<TChosenFile> OpenFileName(QWidget*, const TFileRequest&) override {
        return std::nullopt;
    }
    std::optional<TChosenFile> SaveFileName(QWidget*, const TFileRequest&) override {
        return std::nullopt;
    }
    bool SetUpPrinter(QWidget*, QPrinter*) override { return false; }
    bool OpenHelpPage(const QString&) override { return false; }
    std::optional<QString> AskPassword(const QString&) override { return std::nullopt; }
};

struct TInstalled {
    TDialogs* dialogs = nullptr;
    // The handlers of tv::ShowMessage and the questions before dialogs were installed.
    TMessageHandlers before;
};

TInstalled& Installed() {
    static TInstalled installed;
    return installed;
}

// tv::ShowMessage and the questions, sent to the installed dialogs.
TMessageHandlers ToDialogs() {
    TMessageHandlers handlers;
    handlers.show = [](const QString& text) { Dialogs().ShowMessage(text); };
    handlers.askOkCancel = [](const QString& text) { return Dialogs().AskOkCancel(text); };
    handlers.askYesNo = [](const QString& text, bool withCancel) {
        return Dialogs().AskYesNo(text, withCancel ? TQuestion::YesNoCancel : TQuestion::YesNo);
    };
    return handlers;
}

TAnswer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

} // namespace

// Qt's own file dialog (where the desktop has none of its own) in detail view, its size, type and
// date columns as wide as their texts: the modification date ("2026/12/09 10:30") is never cut
// short.
void SetUpFileDialog(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        for (int column = 1; column < tree->header()->count(); ++column)
            tree->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

namespace {

std::optional<TChosenFile> RunFileDialog(QWidget* owner, const TFileRequest& request,
                                         QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, request.title, request.start);
    dialog.setObjectName(request.objectName);
    SetUpFileDialog(dialog);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen)
        dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    if (mode == QFileDialog::AcceptSave && !request.suffixes.isEmpty()) {
        dialog.setDefaultSuffix(request.suffixes.front());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &request](const QString& filter) {
                             dialog.setDefaultSuffix(
                                 request.suffixes.value(request.filters.indexOf(filter)));
                         });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return TChosenFile{dialog.selectedFiles().front(),
                       static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()))};
}

} // namespace

TDialogs& Dialogs() {
    static TNoDialogs none;
    return Installed().dialogs ? *Installed().dialogs : none;
}

TDialogs* SetDialogs(TDialogs* dialogs) {
    TInstalled& installed = Installed();
    TDialogs* previous = installed.dialogs;
    if (dialogs && !previous)
        installed.before = SetMessageHandlers(ToDialogs());
    else if (!dialogs && previous)
        SetMessageHandlers(std::move(installed.before));
    installed.dialogs = dialogs;
    return previous;
}

void TQtDialogs::ShowMessage(const QString& text) {
    QMessageBox::warning(QApplication::activeWindow(), ApplicationTitle(), text, QMessageBox::Ok);
}

bool TQtDialogs::AskOkCancel(const QString& text) {
    QMessageBox box(QMessageBox::Warning, ApplicationTitle(), text,
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    // The questions are about deleting or dropping data: Enter alone keeps it.
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

TAnswer TQtDialogs::AskYesNo(const QString& text, TQuestion question) {
    const bool withCancel = question != TQuestion::YesNo;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    const bool plain = question == TQuestion::PlainYesNoCancel;
    QMessageBox box(plain ? QMessageBox::NoIcon : QMessageBox::Question, ApplicationTitle(), text,
                    buttons, QApplication::activeWindow());
    if (!plain) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    }
    if (withCancel) {
        if (!plain)
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
        // "No" drops what was typed: Enter alone must not do that.
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    return AnswerOf(box.exec());
}

std::optional<QColor> TQtDialogs::PickColor(QWidget* owner, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QString> TQtDialogs::PickFolder(QWidget* owner, const QString& title,
                                              const QString& start) {
    QFileDialog dialog(owner, title, start.isEmpty() ? QDir::homePath() : start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    SetUpFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() ||
        dialog.selectedFiles().front().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

std::optional<TChosenFile> TQtDialogs::OpenFileName(QWidget* owner, const TFileRequest& request) {
    return RunFileDialog(owner, request, QFileDialog::AcceptOpen);
}

std::optional<TChosenFile> TQtDialogs::SaveFileName(QWidget* owner, const TFileRequest& request) {
    return RunFileDialog(owner, request, QFileDialog::AcceptSave);
}

bool TQtDialogs::OpenHelpPage(const QString& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

std::optional<QString> TQtDialogs::AskPassword(const QString& text) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(ApplicationTitle());
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

} // namespace tv
