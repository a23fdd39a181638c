#pragma once
// Where a printed form draws: the canvas of the page being recorded and the start of the next
// page. The preview control is one; tests use one over recording canvases.
#include "printing/PrintCanvas.h"

namespace tv {

class TPageTarget {
public:
    virtual ~TPageTarget() = default;
    // The canvas of the page being recorded; nullptr when no document is being recorded.
    virtual TPrintCanvas* Canvas() = 0;
    // Completes the page being recorded and starts the next one.
    virtual void NewPage() = 0;
};

} // namespace tv
