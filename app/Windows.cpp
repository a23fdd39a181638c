#include "app/Windows.h"

#include "app/uTavelon.h"
#include "registers/gui/uEditHacchusya.h"
#include "registers/gui/uEditKikakuti4.h"
#include "registers/gui/uEditKoji.h"
#include "registers/gui/uEditKosyu.h"
#include "registers/gui/uEditSimei.h"
#include "registers/gui/uEditUkeoisya.h"
#include "registers/gui/uListBox.h"
#include "settings/gui/uSetDataPath.h"

namespace tv {

TAppWindows& AppWindows() {
    static TAppWindows windows;
    return windows;
}

} // namespace tv
