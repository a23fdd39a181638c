#pragma once
// The measuring position of the next grid line, continued from the two lines above in their own
// notation: 20 m stations ("No.0+0.0", "No.0+15.0" → "No.1+10.0"), plain metres ("0.0", "15.0" →
// "30.0") or whole stations ("No.1", "No.2" → "No.3").
#include <QString>
#include <optional>

namespace tv {

// The position after `last`, one step as far from it as `last` is from `before`; nothing when the
// two are not of one notation, do not step, or the next would be negative or longer than the
// position column holds.
std::optional<QString> NextPosition(const QString& before, const QString& last);

} // namespace tv
