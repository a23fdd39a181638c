#pragma once
// What the register windows share: the window font, a menu bar above a client area of a given
// size, centring on the screen, and refilling a combo box's list without touching its text.
#include <QStringList>

class QComboBox;
class QMenuBar;
class QWidget;

namespace tv {

// Sets the window's font ("ＭＳ Ｐゴシック", 9 points) and lays out the menu bar above a client
// area of width × height pixels, which is returned; the controls are placed on it by position. A
// fixed window keeps exactly that client size; a resizable one starts with it.
QWidget* BuildClientArea(QWidget* window, QMenuBar* menuBar, int width, int height, bool fixed);

// Moves a window so that it is centred on the screen's work area.
void CenterOnScreen(QWidget* window);

// Replaces the list of an editable combo box and keeps the text typed in it, raising no change
// signal (opening the list is not an edit).
void RefillKeepingText(QComboBox* box, const QStringList& lines);

} // namespace tv
