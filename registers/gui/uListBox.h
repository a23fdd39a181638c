#pragma once
// The modal pick-list dialog: the caller fills ListBox1, sets the caption, shows it with exec()
// and, on OK (QDialog::Accepted), reads SelectedText().
#include <QDialog>
#include <QString>
#include <QStringList>

class QAction;
class QListWidget;
class QPushButton;

namespace tv {

class TfrmListBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmListBox(QWidget* parent = nullptr);

    // Replaces the lines (and clears the selection).
    void SetLines(const QStringList& lines);
    // The selected line, empty when none is selected.
    QString SelectedText() const;

    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QAction* Help1 = nullptr; // F1

    void ListBox1DblClick();

    // A pick from a fresh dialog owned by the application: shows the lines under the caption,
    // and on OK puts the selected line (empty when none) into `chosen` and returns true. The
    // dialog is disposed of after its modal loop has ended.
    static bool Pick(QWidget* parent, const QString& caption, const QStringList& lines,
                     QString& chosen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace tv
