#pragma once
// The command line reads and writes CSV through the shared reader (platform/Csv.h).
#include "platform/Csv.h"

namespace tv::cli {

using tv::CsvField;
using tv::CsvRecords;
using tv::DecodeText;
using tv::ParseCsv;

} // namespace tv::cli
