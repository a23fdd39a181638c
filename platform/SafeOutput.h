#pragma once
// Files the program writes for the user (exported readings and workbooks, PDF files) and table
// folders it builds (imports, copies). Both are all or nothing: an output appears whole under its
// name or not at all, and a folder receives all of its tables or none of them.
//
// Outputs are written to a uniquely named temporary file beside the target
// (".<name>.tavelon-<pid>-<n>.tmp"), synced and renamed over the target, so the old file stays
// whole until the rename and no other file is touched. The temporary file of a run that was
// killed is removed the next time the same target is written (only when its process is gone).
// An output never replaces a table: an SQLite database, or a file of the current data folder
// (its tables, their journals, the engine's hidden files) or the engine's configuration.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QIODevice;

namespace tv {

// Why the target may not be written as an output, naming the file and the reason; empty when
// it may. Does not look at whether the folder can be written (the write itself tells).
QString OutputRefusal(const QString& target);

class TOutputFile {
public:
    // Refuses the target (TError with OutputRefusal's reason), removes the temporary files that
    // killed writes of this target left, and creates the new temporary file. Raises TError
    // naming the file and the cause when the temporary file cannot be created.
    explicit TOutputFile(const QString& target);
    // Removes the temporary file unless it was committed.
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    // The temporary file, open for writing.
    QIODevice& Device();
    // The temporary file's path, for writers that open a file by name themselves; the device
    // is closed (the writer replaces the empty file).
    QString TemporaryPath();
    QString Target() const;

    // Syncs the temporary file and renames it over the target. Raises TError naming the target
    // and the cause (a full disk, no permission, ...) when anything written failed; the target
    // is then as it was.
    void Commit();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Builds table files in a new temporary folder beside `destination` (on the same file system)
// and moves them into place only when `build` has written all of them and they are synced: a
// missing or empty destination is replaced by the folder in one rename; into a folder holding
// other files the tables are moved one by one under a list that the next run uses to take back
// the tables of a killed move. Either way the destination ends with none of the tables or all.
// `build` gets the temporary folder (ending in '/') and must let go of its files before it
// returns (the engine's connection to the folder is closed afterwards anyway). What a killed
// earlier run into the same destination left is removed first. Raises TError naming the folder
// and the cause; `build`'s own errors pass through, and nothing of the run stays behind.
void BuildFolderAtomically(const QString& destination,
                           const std::function<void(const QString& staging)>& build);

// The leftovers of killed runs into the destination are removed (BuildFolderAtomically does it
// first); true when there were any.
bool RemoveStagingLeftovers(const QString& destination);

} // namespace tv
