#pragma once
// Every dialog the windows open on the outside world goes through one replaceable object: message
// boxes and questions, the colour dialog, the folder browser, the file dialogs, the printer set-up
// and the browser showing a help page. The program installs the real dialogs at start-up; window
// tests install scripted ones that record what was asked and answer without opening anything.
//
// While dialogs are installed, tv::ShowMessage, tv::AskOkCancel, tv::AskYesNoCancel and
// tv::AskYesNo of the layers below the windows go to them too.
#include "platform/Messages.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QPrinter;
class QWidget;

namespace tv {

// The look of a question with はい and いいえ.
enum class TQuestion {
    YesNo,       // question icon, はい and いいえ; いいえ is the default
    YesNoCancel, // question icon, はい, いいえ and キャンセル; キャンセル is the default
    PlainYesNoCancel, // no icon and Qt's own Yes, No and Cancel; Cancel is the default
};

// Qt's own file dialog as the program shows it: in detail view, the size, type and date columns
// as wide as their texts.
void SetUpFileDialog(QFileDialog& dialog);

// A file to read or to write.
struct TFileRequest {
    QString title;
    QString objectName;  // the dialog's object name
    QString start;       // the folder, or the file proposed, the dialog opens at (empty: its own)
    QStringList filters; // file types, "CSV 表形式 (*.csv)"; the first is chosen at first
    // For writing: the suffix each file type adds to a name typed without one (none: nothing).
    QStringList suffixes;
};

// The file chosen and the index of the file type chosen with it.
struct TChosenFile {
    QString path;
    int filter = 0;
};

class TDialogs {
public:
    TDialogs() = default;
    TDialogs(const TDialogs&) = delete;
    TDialogs& operator=(const TDialogs&) = delete;
    virtual ~TDialogs() = default;

    // A message with OK.
    virtual void ShowMessage(const QString& text) = 0;
    // A warning with OK and Cancel, Cancel the default: true for OK.
    virtual bool AskOkCancel(const QString& text) = 0;
    virtual TAnswer AskYesNo(const QString& text, TQuestion question) = 0;
    // The colour dialog starting at `initial`; nothing on Cancel.
    virtual std::optional<QColor> PickColor(QWidget* owner, const QColor& initial) = 0;
    // The folder browser starting at `start` (empty: the home folder); the folder chosen in native
    // separators (empty for an item without a file-system path), nothing on Cancel.
    virtual std::optional<QString> PickFolder(QWidget* owner, const QString& title,
                                              const QString& start) = 0;
    // The file dialogs; nothing on Cancel.
    virtual std::optional<TChosenFile> OpenFileName(QWidget* owner,
                                                    const TFileRequest& request) = 0;
    virtual std::optional<TChosenFile> SaveFileName(QWidget* owner,
                                                    const TFileRequest& request) = 0;
    // The printer set-up dialog on `printer`: true when the user confirmed it.
    virtual bool SetUpPrinter(QWidget* owner, QPrinter* printer) = 0;
    // Opens a help page file in the system's browser: false when it could not be opened.
    virtual bool OpenHelpPage(const QString& file) = 0;
    // A password typed into a box that hides it, under `text`; nothing on Cancel.
    virtual std::optional<QString> AskPassword(const QString& text) = 0;
};

// The dialogs installed, or without any: messages and questions go to tv::ShowMessage and the
// questions of platform/Messages.h, every dialog is cancelled and no help page opens.
TDialogs& Dialogs();

// Installs `dialogs` (not owned; nullptr removes them) and returns the dialogs installed before.
// Removing the last dialogs gives tv::ShowMessage and the questions back their previous handlers.
TDialogs* SetDialogs(TDialogs* dialogs);

// The real dialogs, on Qt's message boxes and dialogs, their titles the application's title.
// The printer set-up needs Qt PrintSupport, which this layer does not link: the program's
// dialogs (printing/gui/ProgramDialogs.h) add it.
class TQtDialogs : public TDialogs {
public:
    void ShowMessage(const QString& text) override;
    bool AskOkCancel(const QString& text) override;
    TAnswer AskYesNo(const QString& text, TQuestion question) override;
    std::optional<QColor> PickColor(QWidget* owner, const QColor& initial) override;
    std::optional<QString> PickFolder(QWidget* owner, const QString& title,
                                      const QString& start) override;
    std::optional<TChosenFile> OpenFileName(QWidget* owner, const TFileRequest& request) override;
    std::optional<TChosenFile> SaveFileName(QWidget* owner, const TFileRequest& request) override;
    bool OpenHelpPage(const QString& file) override;
    std::optional<QString> AskPassword(const QString& text) override;
};

} // namespace tv
