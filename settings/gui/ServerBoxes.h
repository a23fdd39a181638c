#pragma once
// The boxes of a PostgreSQL server (host, port, database, user) with 接続テスト, shown by the
// settings window and by データ → サーバーへ移す…, and what the windows ask before they use a
// server: its password and whether to create the tables it lacks.
#include <QMap>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

class TServerBoxes : public QWidget {
    Q_OBJECT
public:
    // 361 × 96 pixels: four rows of a label and a box, the test button at the bottom right.
    explicit TServerBoxes(QWidget* parent = nullptr);

    QLabel* Label4 = nullptr;
    QLineEdit* Edit4 = nullptr; // host (empty: the local socket)
    QLabel* Label5 = nullptr;
    QLineEdit* Edit5 = nullptr; // port (empty: 5432)
    QLabel* Label6 = nullptr;
    QLineEdit* Edit6 = nullptr; // database
    QLabel* Label7 = nullptr;
    QLineEdit* Edit7 = nullptr;     // user (empty: the login name)
    QPushButton* Button3 = nullptr; // 接続テスト

    // Shows a server address (URI or keyword form); settings without a box (sslmode, ...) are kept
    // for Address(). An address that cannot be read shows empty boxes.
    void SetAddress(const QString& server);
    // The address of the boxes in keyword form, with the settings kept.
    QString Address() const;
    // What is wrong with the boxes themselves (no database, a port that is no port), else empty.
    QString Problem() const;

    // 接続テスト: connects and says what it found.
    void Button3Click();

private:
    QMap<QString, QString> kept_; // settings of the address shown that have no box
};

// Asks for the password of a server through the installed dialogs whenever the engine needs one.
void InstallServerPasswordPrompt();

// Whether the server can be used: false, with the reason shown, when it cannot be reached; asks
// before tables are created on a server that has none of the program's tables (false on いいえ).
bool ConfirmServer(const QString& server);

} // namespace tv
