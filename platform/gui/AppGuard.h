#pragma once
// The one place where errors raised in event handlers end: the message is shown in a message box
// with OK and the window stays as it was.
#include <QApplication>
#include <exception>
#include <utility>

namespace tv {

// Shows the message of an exception caught at the event loop.
void ReportException(const std::exception& e);
void ReportUnknownException();

// Runs a handler, passing any error it raises to ReportException. Every signal connected to a
// window's handler goes through it, so no exception crosses Qt's own code.
template <class F> void Guarded(F&& handler) {
    try {
        std::forward<F>(handler)();
    } catch (const std::exception& e) {
        ReportException(e);
    } catch (...) {
        ReportUnknownException();
    }
}

// Wraps a member handler for QObject::connect: connect(b, &QPushButton::clicked, this,
// Handler(this, &TfrmX::Button1Click)).
template <class T> auto Handler(T* window, void (T::*method)()) {
    return [window, method](auto&&...) { Guarded([&] { (window->*method)(); }); };
}

// The wait cursor for as long as the object lives.
struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The application: catches what an event handler lets escape.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The application's title, shown on its message boxes ("平坦性試験" unless set otherwise).
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

} // namespace tv
