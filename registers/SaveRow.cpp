#include "registers/SaveRow.h"

#include "platform/TableEngine.h"

namespace tv {

bool PrepareSave(TQuery& query, const QString& update, const QString& insert,
                 const std::function<void(const TQuery& found)>& readFound) {
    query.Open();
    const bool found = !query.Eof();
    if (found && readFound)
        readFound(query);
    query.Close();
    query.ClearSQL();
    query.AddSQL(found ? update : insert);
    return found;
}

bool PrepareSave(TQuery& query, const QString& select, const QString& key, const QString& update,
                 const QString& insert) {
    query.ClearSQL();
    query.AddSQL(select);
    query.Params(0).SetAsString(key);
    return PrepareSave(query, update, insert);
}

} // namespace tv
