#pragma once
// Exceptions raised by the system. Every failure is an exception carrying a message the user can
// read; one handler at the event loop shows it (see platform/gui/AppGuard.h).
#include <QString>
#include <stdexcept>

namespace tv {

class TError : public std::runtime_error {
public:
    explicit TError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

// Failures of the table engine: missing table or database, SQL error, parameter without value,
// text too long for its column, foreign or damaged table file.
class EngineError : public TError {
public:
    using TError::TError;
};

// Failed conversions of typed text ("'%s' は日付ではありません", "'%s' は整数ではありません", ...).
class EConvertError : public TError {
public:
    using TError::TError;
};

} // namespace tv
