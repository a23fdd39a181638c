#include "measurement/PositionStep.h"

#include "platform/Cp932.h"
#include "platform/GridLayout.h"

#include <QRegularExpression>
#include <cmath>
#include <utility>

namespace tv {

namespace {

// A station is 20 m.
constexpr double kStation = 20.0;

// A position read as metres along the stretch, with how it is written.
struct Position {
    enum class Kind { Stations, Metres, WholeStations } kind = Kind::Metres;
    QString prefix;   // "No." before a station number
    int decimals = 0; // of the metres part
    double metres = 0;
};

int Decimals(const QString& number) {
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : static_cast<int>(number.size() - point - 1);
}

std::optional<Position> Read(const QString& text) {
    static const QRegularExpression station(QStringLiteral("^(\\D*?)(\\d+)\\+(\\d+(?:\\.\\d+)?)$"));
    static const QRegularExpression whole(QStringLiteral("^(\\D+?)(\\d+)$"));
    static const QRegularExpression metres(QStringLiteral("^(\\d+(?:\\.\\d+)?)$"));
    const QString t = text.trimmed();
    Position p;
    QRegularExpressionMatch m = station.match(t);
    if (m.hasMatch()) {
        p.kind = Position::Kind::Stations;
        p.prefix = m.captured(1);
        p.decimals = Decimals(m.captured(3));
        p.metres = m.captured(2).toDouble() * kStation + m.captured(3).toDouble();
        return p;
    }
    m = whole.match(t);
    if (m.hasMatch()) {
        p.kind = Position::Kind::WholeStations;
        p.prefix = m.captured(1);
        p.metres = m.captured(2).toDouble() * kStation;
        return p;
    }
    m = metres.match(t);
    if (m.hasMatch()) {
        p.decimals = Decimals(m.captured(1));
        p.metres = m.captured(1).toDouble();
        return p;
    }
    return std::nullopt;
}

QString Write(const Position& like, double metres) {
    switch (like.kind) {
    case Position::Kind::WholeStations:
        return like.prefix + QString::number(std::llround(metres / kStation));
    case Position::Kind::Stations: {
        const double scale = std::pow(10.0, like.decimals);
        const long long units = std::llround(metres * scale);
        const long long perStation = std::llround(kStation * scale);
        return like.prefix + QString::number(units / perStation) + QLatin1Char('+') +
               QString::number(static_cast<double>(units % perStation) / scale, 'f', like.decimals);
    }
    case Position::Kind::Metres:
        break;
    }
    return QString::number(metres, 'f', like.decimals);
}

} // namespace

std::optional<QString> NextPosition(const QString& before, const QString& last) {
    std::optional<Position> a = Read(before);
    std::optional<Position> b = Read(last);
    if (!a || !b || a->prefix != b->prefix)
        return std::nullopt;
    // "No.3+10", "No.4": stations, a whole one written without its "+0".
    bool bareWhole = false;
    for (auto [x, y] : {std::pair{&*a, &*b}, std::pair{&*b, &*a}})
        if (x->kind == Position::Kind::WholeStations && y->kind == Position::Kind::Stations) {
            x->kind = Position::Kind::Stations;
            bareWhole = true;
        }
    if (a->kind != b->kind)
        return std::nullopt;
    const double step = b->metres - a->metres;
    const double next = b->metres + step;
    if (std::abs(step) < 1e-9 || next < 0)
        return std::nullopt;
    // Whole stations step by whole stations only.
    if (b->kind == Position::Kind::WholeStations && std::abs(std::remainder(step, kStation)) > 1e-9)
        return std::nullopt;
    Position like = *b;
    like.decimals = std::max(a->decimals, b->decimals);
    if (bareWhole && std::abs(std::remainder(next, kStation)) < 1e-9)
        like.kind = Position::Kind::WholeStations;
    const QString text = Write(like, next);
    const std::optional<int> bytes = Cp932Length(text);
    if (!bytes || *bytes > grid::kPositionBytes)
        return std::nullopt;
    return text;
}

} // namespace tv
