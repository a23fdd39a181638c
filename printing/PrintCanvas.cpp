#include "printing/PrintCanvas.h"

#include <algorithm>
#include <cmath>

namespace tv {

int TPrintCanvas::FontHeight() const {
    // Points to pixels rounded half away from zero, as a font chosen by size gets its height.
    const double px = double(fontSize_) * DeviceCaps(TDeviceCap::LogPixelsY) / 72.0;
    return -int(std::lround(px));
}

int TPrintCanvas::FontEm() const {
    return std::max(1, -FontHeight());
}

void TPrintCanvas::LineTo(int x, int y) {
    const QPoint to(x, y);
    DrawLine(penPos_, to);
    penPos_ = to;
}

} // namespace tv
