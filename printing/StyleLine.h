#pragma once
// A line drawer with dash patterns in device pixels. The pattern position is kept between LineTo
// calls, so a dashed polyline continues the dash that was cut at a corner; MoveTo starts it anew.
#include <cstdint>
#include <initializer_list>

namespace tv {

class TPrintCanvas;

class TStyleLine {
public:
    static constexpr int MaxSegments = 100;

    explicit TStyleLine(TPrintCanvas* canvas = nullptr) : canvas_(canvas) {}

    TPrintCanvas* Canvas() const { return canvas_; }
    void SetCanvas(TPrintCanvas* canvas) { canvas_ = canvas; }

    // 1 solid, 2 dot, 3 dash, 4 dash-dot, 5 dash-dot-dot; other values keep the pattern.
    void SetStyle(int type);
    // Pen width in pixels; 1 when w <= 0.
    void SetWidth(int w) { width_ = w <= 0 ? 1 : w; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    int LineType() const { return lineType_; }
    int Width() const { return width_; }
    int SegCount() const { return segCount_; }
    int PatternLength() const { return patternLength_; }
    int SegIndex() const { return segIndex_; }
    int SegProgress() const { return segProgress_; }
    // Segment i, counted from 1.
    int Segment(int i) const { return segments_[i]; }

private:
    void SetPattern(std::initializer_list<double> lengths);
    void Step(int i, double px, double py);

    TPrintCanvas* canvas_;
    int segments_[MaxSegments + 1] = {0, 20, 20};
    int segCount_ = 2;
    int patternLength_ = 40;
    int segIndex_ = 1;
    int segProgress_ = 1;
    std::uint8_t lineType_ = 0;
    int width_ = 1;
};

} // namespace tv
