#include "registers/Codes.h"

namespace tv {

QString CodePart(const QString& text) {
    const int colon = text.indexOf(QLatin1Char(':'));
    return colon < 0 ? text : text.left(colon);
}

QString NamePart(const QString& text) {
    const int colon = text.indexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : text.mid(colon + 1);
}

} // namespace tv
