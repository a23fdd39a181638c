#include "platform/gui/AppGuard.h"

#include "platform/Errors.h"
#include "platform/Messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace tv {

namespace {
QString& Title() {
    static QString title = QStringLiteral("平坦性試験");
    return title;
}
} // namespace

void SetApplicationTitle(const QString& title) {
    Title() = title;
}
QString ApplicationTitle() {
    return Title();
}

void ReportException(const std::exception& e) {
    if (auto* error = dynamic_cast<const TError*>(&e))
        ShowMessage(error->Message());
    else
        ShowMessage(QString::fromUtf8(e.what()));
}

void ReportUnknownException() {
    ShowMessage(QStringLiteral("予期しないエラーが発生しました"));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    Guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

void InstallMessageBoxes() {
    TMessageHandlers handlers;
    handlers.show = [](const QString& text) {
        QMessageBox::warning(QApplication::activeWindow(), ApplicationTitle(), text,
                             QMessageBox::Ok);
    };
    handlers.askOkCancel = [](const QString& text) {
        QMessageBox box(QMessageBox::Warning, ApplicationTitle(), text,
                        QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
        // The questions are about deleting or dropping data: Enter alone keeps it.
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok;
    };
    handlers.askYesNo = [](const QString& text, bool withCancel) {
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
        if (withCancel)
            buttons |= QMessageBox::Cancel;
        QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, buttons,
                        QApplication::activeWindow());
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
        if (withCancel) {
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
            box.setDefaultButton(QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
        } else {
            box.setDefaultButton(QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return TAnswer::Yes;
        case QMessageBox::No:
            return TAnswer::No;
        default:
            return TAnswer::Cancel;
        }
    };
    SetMessageHandlers(handlers);
}

} // namespace tv
