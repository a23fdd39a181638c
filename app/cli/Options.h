#pragma once
// Named options of the commands: "--name VALUE" or "--name=VALUE", and switches "--name".
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tv::cli {

struct TOptions {
    QMap<QString, QString> values; // option name (with "--") to its value, when given
    QSet<QString> switches;        // switches given

    bool Has(const QString& name) const { return values.contains(name) || switches.contains(name); }
    QString Value(const QString& name) const { return values.value(name); }
};

// Reads args against the options that take a value and the switches; an error text (one line)
// for an unknown argument, a missing value or a switch given a value.
QString ReadOptions(const QStringList& args, const QStringList& valueOptions,
                    const QStringList& switchOptions, TOptions& options);

} // namespace tv::cli
