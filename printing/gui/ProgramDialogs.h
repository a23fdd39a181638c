#pragma once
// The program's dialogs: Qt's dialogs of platform/gui and the printer set-up, installed at
// start-up.
#include "platform/gui/Dialogs.h"

namespace tv {

class TProgramDialogs final : public TQtDialogs {
public:
    // Qt's page set-up dialog on the printer.
    bool SetUpPrinter(QWidget* owner, QPrinter* printer) override;
};

} // namespace tv
