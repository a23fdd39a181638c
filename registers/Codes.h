#pragma once
// Register entries shown as code and name joined by ":" (a construction work "A001:工事名").
#include <QString>

namespace tv {

// The text before the first ":" (all of it without ":", empty when ":" comes first).
QString CodePart(const QString& text);
// The text after the first ":" (empty without ":").
QString NamePart(const QString& text);

} // namespace tv
