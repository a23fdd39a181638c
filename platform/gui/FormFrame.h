#pragma once
// What the windows share: the window font, a menu bar above a client area of a given
// size, centring on the screen, and refilling a combo box's list without touching its text.
#include <QMetaObject>
#include <QString>
#include <QStringList>

#include <QObject>
#include <functional>

class QAbstractButton;
class QAction;
class QComboBox;
class QEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QWidget;

namespace tv {

// The title bar of a window of fixed size: its caption and the close button only (combined with
// Qt::Dialog or Qt::Window).
constexpr Qt::WindowFlags kFixedTitleBar = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                           Qt::MSWindowsFixedSizeDialogHint;

// Gives the window the windows' font: "ＭＳ Ｐゴシック", 9 points.
void SetWindowFont(QWidget* window);

// Sets the window's font ("ＭＳ Ｐゴシック", 9 points) and lays out the menu bar above a client
// area of width × height pixels, which is returned; the controls are placed on it by position. A
// fixed window keeps exactly that client size; a resizable one starts with it.
QWidget* BuildClientArea(QWidget* window, QMenuBar* menuBar, int width, int height, bool fixed);

// A dialog window of a fixed size without a menu: its object name, caption, the title bar with only
// the close button, and the window's font ("ＭＳ Ｐゴシック", 9 points).
void SetUpFixedDialog(QWidget* window, const QString& objectName, const QString& caption, int width,
                      int height);

// Moves a window so that it is centred on the screen's work area.
void CenterOnScreen(QWidget* window);

// Replaces the list of an editable combo box and keeps the text typed in it, raising no change
// signal (opening the list is not an edit).
void RefillKeepingText(QComboBox* box, const QStringList& lines);

// Adds a menu item with its objectName.
QAction* AddMenuItem(QMenu* menu, const QString& caption, const char* objectName);
// The register windows' menu "ファイル" with "新規" (N1), "削除" (Delete1) and "閉じる" (Close1).
void AddFileMenu(QMenuBar* menuBar, QAction*& N1, QAction*& Delete1, QAction*& Close1);
// The menu item "ヘルプ" (Help1, F1).
QAction* AddHelpItem(QMenuBar* menuBar);

// Decides when a window reloads on activation: each time the user comes to it from another window
// of the program, but not when coming back from a window opened over it, nor from another program,
// so what is being edited survives a failed save or a picked colour. A window passes every event
// through Activates() and runs its activation handler when it returns true.
class TActivationGate {
public:
    // Which windows over this one the user comes back from without a reload.
    enum class TKeepAfter {
        // Any modal window: message boxes and dialogs (a picked colour, a printer set-up).
        Modal,
        // Message boxes only. The window's own modal sub-windows bring the reload, and the window
        // says itself when the return must not reload (SkipNext). The gate watches the focus: once
        // another window of the program has it, the next activation reloads whatever was marked.
        MessageBox,
    };

    TActivationGate() = default;
    TActivationGate(QWidget* window, TKeepAfter keepAfter);
    // Stops watching the focus: the gate, a member of its window, goes before the window's own
    // destruction, which may still move the focus.
    ~TActivationGate();
    TActivationGate(const TActivationGate&) = delete;
    TActivationGate& operator=(const TActivationGate&) = delete;

    bool Activates(const QEvent* event);
    // The next activation does not reload: the window has put back what was typed before a
    // sub-window opened, or its reload failed and the message about it is closing.
    void SkipNext() { skipNext_ = true; }

private:
    TKeepAfter keepAfter_ = TKeepAfter::Modal;
    QMetaObject::Connection focusWatch_;
    bool skip_ = false;     // left for a window over this one or for another program
    bool skipNext_ = false; // asked for by the window
};

// Chains the Tab order of a window's controls as they are laid out: first every control that
// takes typing or a choice (boxes, lists, check and radio buttons), top to bottom and, within a
// row, left to right; then the push buttons in the same order. A button never comes between two
// boxes, so what is typed after Tab goes into the next box.
void TabInLayoutOrder(QWidget* window);

// Enter in any box of a register window (a line edit, or a combo box whose list is closed)
// saves: it clicks the save button when the button is enabled and `ready` (if given) agrees, or
// runs the window's own save on Enter where the button does more than save (closes the window).
// The sign shows 「保存しました」 after each save (ShowSaved) and is cleared by the next key typed
// into a box.
class TSaveKeys : public QObject {
public:
    TSaveKeys(QWidget* window, QAbstractButton* save, QLabel* sign,
              std::function<bool()> ready = {});
    TSaveKeys(QWidget* window, std::function<void()> save, QLabel* sign,
              std::function<bool()> ready = {});
    // Says the save went through.
    void ShowSaved();
    // Clears the sign (another entry shown, the boxes emptied).
    void Clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> save_;
    QLabel* sign_;
    std::function<bool()> ready_;
};

// The label a register window shows 「保存しました」 in, empty until a save.
QLabel* AddSaveSign(QWidget* parent, int x, int y, int width);
// The same sign in a window's status bar.
QLabel* AddSaveSign(QStatusBar* bar);

} // namespace tv
