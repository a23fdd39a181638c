#pragma once
// The registers' save: find the row by its key, then update it or insert a new one.
#include <QString>

#include <functional>

namespace tv {

class TQuery;

// Opens the select the query holds (its key parameters already set by the caller) and, when a
// row is found, hands that row to `readFound`; then leaves the query holding `update` when a row
// was found, else `insert`, for the caller to set its parameters and execute. True when a row was
// found.
bool PrepareSave(TQuery& query, const QString& update, const QString& insert,
                 const std::function<void(const TQuery& found)>& readFound = {});

// The same for a select whose one parameter is the key `key`.
bool PrepareSave(TQuery& query, const QString& select, const QString& key, const QString& update,
                 const QString& insert);

} // namespace tv
