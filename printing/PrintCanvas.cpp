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

void TPrintCanvas::Polyline(const std::vector<QPoint>& points) {
    if (points.empty())
        return;
    if (points.size() > 1)
        DrawPolyline(points);
    penPos_ = points.back();
}

void TPrintCanvas::Segments(const std::vector<QPoint>& ends) {
    if (ends.size() < 2)
        return;
    DrawSegments(ends);
    penPos_ = ends[ends.size() % 2 == 0 ? ends.size() - 1 : ends.size() - 2];
}

void TPrintCanvas::DrawPolyline(const std::vector<QPoint>& points) {
    for (size_t i = 1; i < points.size(); ++i)
        DrawLine(points[i - 1], points[i]);
}

void TPrintCanvas::DrawSegments(const std::vector<QPoint>& ends) {
    for (size_t i = 0; i + 1 < ends.size(); i += 2)
        DrawLine(ends[i], ends[i + 1]);
}

} // namespace tv
