#include "platform/gui/AppGuard.h"

#include "platform/Errors.h"
#include "platform/Messages.h"

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

} // namespace tv
