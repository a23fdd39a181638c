#include "measurement/MeasurementReader.h"

#include "platform/TableEngine.h"

namespace tv {

namespace {

const QString kDb = QStringLiteral("kestran");

} // namespace

std::vector<int> StoredMeasurementIds(const QString& workCode, const QString& kosyuName) {
    TQuery q(kDb);
    q.AddSQL(QStringLiteral("select ID from RokumaKanri where KOJICODE=:A and KosyuName=:B"));
    q.Params(0).SetAsString(workCode);
    q.Params(1).SetAsString(kosyuName);
    q.Open();
    std::vector<int> ids;
    for (; !q.Eof(); q.Next())
        ids.push_back(q.Fields(0).AsInteger());
    return ids;
}

TStoredMeasurement ReadStoredMeasurement(int id) {
    TStoredMeasurement m;
    TQuery lines(kDb);
    lines.AddSQL(QStringLiteral("select LNO,SOKUTEN,K00,K01,K02,K03,K04 from RokumaLine where "
                                "HID=:A order by LNO"));
    lines.Params(0).SetAsInteger(id);
    lines.Open();
    for (; !lines.Eof(); lines.Next()) {
        TStoredLine line;
        line.LNO = lines.Fields(0).AsInteger();
        line.SOKUTEN = lines.Fields(1).AsString();
        for (int k = 0; k < grid::kResults; ++k)
            line.K[k] = lines.Fields(2 + k).AsString();
        m.Lines.push_back(line);
    }
    lines.Close();

    TQuery points(kDb);
    points.AddSQL(QStringLiteral("select PNO,U,DATA from RokumaData where SID=:A order by PNO"));
    points.Params(0).SetAsInteger(id);
    points.Open();
    for (; !points.Eof(); points.Next())
        m.Points.push_back(
            {points.Fields(0).AsInteger(), points.Fields(1).AsBoolean(), points.Fields(2).AsFloat()});
    return m;
}

} // namespace tv
