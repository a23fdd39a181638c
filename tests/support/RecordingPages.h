#pragma once
// Pages of recording canvases at 600 dpi for the tests of the printed forms (window tests only: it
// draws through printing/). The first page is being recorded from the start, as after BeginDoc.
#include "printing/PageTarget.h"
#include "printing/RecordingCanvas.h"

#include <memory>
#include <vector>

namespace tv::test {

class TRecordingPages : public TPageTarget {
public:
    TRecordingPages() { NewPage(); }
    TPrintCanvas* Canvas() override { return pages.back().get(); }
    void NewPage() override { pages.push_back(std::make_unique<TRecordingCanvas>()); }
    std::vector<std::unique_ptr<TRecordingCanvas>> pages;
};

} // namespace tv::test
