#pragma once
// Driving modal windows from a test: the step runs from inside the window's modal loop.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace tv::test {

// Runs `step` on the modal window of type W as soon as it is shown. When none comes, whatever
// modal window is open is closed, so a failing test does not hang.
template <class W> void WhenModal(std::function<void(W*)> step, int tries = 300) {
    QTimer::singleShot(10, [step, tries] {
        if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
            step(window);
        } else if (tries > 0) {
            WhenModal<W>(step, tries - 1);
        } else {
            ADD_FAILURE() << "no modal window of the expected kind";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
}

} // namespace tv::test
