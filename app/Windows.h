#pragma once
// The windows created once at start-up and reused for the whole run (all hidden but the main
// window). Start-up fills this; a window that is not there (in a test, say) is simply not shown.
#include <QPointer>

namespace tv {

class TfrmEditTavelon;
class TfrmEditKoji;
class TfrmEditSimei;
class TfrmListBox;
class TfrmEditUkeoisya;
class TfrmEditHacchusya;
class TfrmEditKosyu;
class TfrmEditKikakuti4;
class TfrmSetDataPath;

struct TAppWindows {
    QPointer<TfrmEditTavelon> frmEditTavelon;
    QPointer<TfrmEditKoji> frmEditKoji;
    QPointer<TfrmEditSimei> frmEditSimei;
    QPointer<TfrmListBox> frmListBox;
    QPointer<TfrmEditUkeoisya> frmEditUkeoisya;
    QPointer<TfrmEditHacchusya> frmEditHacchusya;
    QPointer<TfrmEditKosyu> frmEditKosyu;
    QPointer<TfrmEditKikakuti4> frmEditKikakuti4;
    QPointer<TfrmSetDataPath> frmSetDataPath;
};

TAppWindows& AppWindows();

} // namespace tv
