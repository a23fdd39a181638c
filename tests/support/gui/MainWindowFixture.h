#pragma once
// A test of the main window: its own data folder (EnvTest), the window shown and active, and the
// choice of a work and work type made as the user makes it from the two lists.
#include "app/uTavelon.h"
#include "platform/gui/Controls.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QTest>

#include <memory>

namespace tv::test {

class MainWindowFixture : public EnvTest {
protected:
    // Opens a new main window (closing one already open) and waits until it is on screen.
    void OpenMainWindow() {
        window = std::make_unique<TfrmEditTavelon>();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    // Types "code:name" and the work type into the two lists and leaves each as the user does.
    void Choose(const QString& work, const QString& type) {
        window->ComboBox1->setEditText(work);
        window->ComboBox1Click();
        window->ComboBox4->setEditText(type);
        window->ComboBox4Click();
    }

    std::unique_ptr<TfrmEditTavelon> window;
};

} // namespace tv::test
