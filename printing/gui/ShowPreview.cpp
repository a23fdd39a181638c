#include "printing/gui/ShowPreview.h"

#include "printing/gui/PrintView.h"

#include <memory>

namespace tv {

void ShowPreview(QWidget* owner, const QString& title, TOrientation orientation,
                 const std::function<void(TPageTarget& pages)>& draw) {
    CheckPrinter();
    const auto preview = std::make_unique<TfrmPreView>(owner);
    {
        const TOrientationGuard turned(orientation);
        preview->PrevX1->SetTitle(title);
        preview->PrevX1->BeginDoc();
        draw(*preview->PrevX1);
        preview->PrevX1->EndDoc();
    }
    preview->exec();
}

} // namespace tv
