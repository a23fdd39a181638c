#pragma once
// The modal pick-list dialog: the caller fills ListBox1, sets the caption, shows it with exec()
// and, on OK (QDialog::Accepted), reads SelectedText().
#include <QDialog>
#include <QString>
#include <QStringList>

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

    void ListBox1DblClick();
};

} // namespace tv
