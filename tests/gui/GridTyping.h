#pragma once
// Typing into the measurement grid from a test, key by key as the user does.
#include "platform/gui/vaSpread.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace tv::test {

// Types a text into a cell, key by key (the first key opens the cell's editor, which then has
// the focus); Enter is pressed there afterwards unless `enter` is false, which leaves the cell
// in edit.
inline void TypeIntoCell(TvaSpread* grid, int col, int row, const QString& text,
                         bool enter = true) {
    grid->SetActiveCell(col, row);
    grid->setFocus();
    for (const QChar ch : text) {
        // Characters beyond Latin-1 (full-width digits) come as text without a key code, as an
        // input method delivers them.
        if (ch.unicode() < 0x100)
            QTest::keyClicks(QApplication::focusWidget(), QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                QString(ch), Qt::NoModifier);
    }
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    if (enter)
        QTest::keyClick(editor, Qt::Key_Return);
}

} // namespace tv::test
