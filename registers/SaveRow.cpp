#include "registers/SaveRow.h"

#include "platform/TableEngine.h"

namespace tv {

bool PrepareSave(TQuery& query, const QString& select, const QString& key, const QString& update,
                 const QString& insert) {
    query.ClearSQL();
    query.AddSQL(select);
    query.Params(0).SetAsString(key);
    query.Open();
    const bool found = !query.Eof();
    query.Close();
    query.ClearSQL();
    query.AddSQL(found ? update : insert);
    return found;
}

} // namespace tv
