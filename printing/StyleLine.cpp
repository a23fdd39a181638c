#include "printing/StyleLine.h"

#include "printing/PrintCanvas.h"

#include <cmath>
#include <initializer_list>

namespace tv {

namespace {

// Nearest integer, ties to even.
int RoundEven(double v) {
    return int(std::nearbyint(v));
}

} // namespace

void TStyleLine::SetPattern(std::initializer_list<double> lengths) {
    segCount_ = 0;
    patternLength_ = 0;
    for (double length : lengths) {
        ++segCount_;
        segments_[segCount_] = RoundEven(length);
        patternLength_ += segments_[segCount_];
    }
}

void TStyleLine::SetStyle(int type) {
    lineType_ = std::uint8_t(type);
    const float u = float(canvas_ ? canvas_->DeviceCaps(TDeviceCap::LogPixelsX) : 72) / 72.0f;
    switch (type) {
    case 2:
        SetPattern({4.0 * u, 4.0 * u});
        break;
    case 3:
        SetPattern({24.0 * u, 8.0 * u});
        break;
    case 4:
        SetPattern({12.0 * u, 8.0 * u, 4.0 * u, 8.0 * u});
        break;
    case 5:
        SetPattern({12.0 * u, 4.0 * u, 4.0 * u, 4.0 * u, 4.0 * u, 4.0 * u});
        break;
    default:
        break;
    }
}

void TStyleLine::MoveTo(int x, int y) {
    canvas_->MoveTo(x, y);
    canvas_->SetPenStyle(TPenStyle::psSolid);
    canvas_->SetPenWidth(width_);
    segIndex_ = 1;
    segProgress_ = 1;
}

// Ends segment i at (px, py): drawn segments are odd, gaps even.
void TStyleLine::Step(int i, double px, double py) {
    if (i % 2 == 1)
        canvas_->LineTo(RoundEven(px), RoundEven(py));
    else
        canvas_->MoveTo(RoundEven(px), RoundEven(py));
}

void TStyleLine::LineTo(int x, int y) {
    // A pattern without length (a resolution too low for any dash) is drawn solid, so the loops
    // below always advance.
    if (lineType_ == 1 || patternLength_ <= 0) {
        canvas_->LineTo(x, y);
        return;
    }
    double px = canvas_->PenPos().x();
    double py = canvas_->PenPos().y();
    double dist = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
    if (dist == 0)
        return;
    const double ux = (x - px) / dist;
    const double uy = (y - py) / dist;

    // 1. Finish the pattern cut at the end of the previous line.
    if (segIndex_ > 1 || segProgress_ > 1) {
        for (int i = segIndex_; i <= segCount_; ++i) {
            const double rest = segments_[i] - segProgress_ + 1;
            if (rest > dist) {
                Step(i, x, y);
                segProgress_ += RoundEven(dist);
                segIndex_ = i;
                return;
            }
            px += rest * ux;
            py += rest * uy;
            Step(i, px, py);
            dist -= rest;
            segProgress_ = 1;
        }
        segIndex_ = 1;
    }

    // 2. Whole patterns.
    const long whole = long(dist / patternLength_);
    for (long k = 0; k < whole; ++k) {
        for (int i = 1; i <= segCount_; ++i) {
            px += segments_[i] * ux;
            py += segments_[i] * uy;
            Step(i, px, py);
        }
    }
    dist -= double(whole) * patternLength_;

    // 3. The tail, which may stop inside a segment.
    for (int i = 1; i <= segCount_; ++i) {
        if (segments_[i] > dist) {
            Step(i, x, y);
            segProgress_ = RoundEven(dist) + 1;
            segIndex_ = i;
            return;
        }
        px += segments_[i] * ux;
        py += segments_[i] * uy;
        Step(i, px, py);
        dist -= segments_[i];
    }

    // 4. Every segment used up exactly.
    segIndex_ = 1;
    segProgress_ = 1;
}

} // namespace tv
