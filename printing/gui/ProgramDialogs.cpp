#include "printing/gui/ProgramDialogs.h"

#include <QPageSetupDialog>

namespace tv {

bool TProgramDialogs::SetUpPrinter(QWidget* owner, QPrinter* printer) {
    QPageSetupDialog dialog(printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tv
