#pragma once
// The registers' save: find the row by its key, then update it or insert a new one.
#include <QString>

namespace tv {

class TQuery;

// Runs `select` (its first parameter set to `key`) on the query, then leaves the query holding
// `update` when a row was found, else `insert`, for the caller to set its parameters and execute.
// True when a row was found.
bool PrepareSave(TQuery& query, const QString& select, const QString& key, const QString& update,
                 const QString& insert);

} // namespace tv
