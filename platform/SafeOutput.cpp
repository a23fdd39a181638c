#include "platform/SafeOutput.h"

#include "platform/EngineConfig.h"
#include "platform/Errors.h"
#include "platform/TableEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv {

namespace {

const QString kEngineFile = QStringLiteral(".tavelon-engine.sqlite");
const QString kMoveList = QStringLiteral(".tavelon-moving");

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The cause of a failed system call, in the user's words.
QString Cause(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクに空きがありません");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクです");
    case ENOENT:
        return QStringLiteral("フォルダがありません");
    case ENOTDIR:
        return QStringLiteral("途中にフォルダでないものがあります");
    case ENAMETOOLONG:
        return QStringLiteral("パスが長すぎます");
    case EISDIR:
        return QStringLiteral("フォルダです");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// A process of that id is running (this one included).
bool ProcessAlive(qint64 pid) {
    if (pid <= 0)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The entry of the folder named as the file, without regard to case; empty when there is none.
QString FindNoCaseIn(const QString& folder, const QString& name) {
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return QString();
}

bool SyncPath(const QString& path, bool directory) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          (directory ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || directory; // some file systems refuse to sync folders
    ::close(fd);
    return ok;
}

QString AbsoluteClean(const QString& path) {
    QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString FolderOf(const QString& path) {
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// The pid in a temporary name "<prefix><pid>-<n><suffix>"; 0 when it has none.
qint64 PidIn(const QString& name, const QString& prefix) {
    const QString rest = name.mid(prefix.size());
    return rest.left(rest.indexOf(QLatin1Char('-'))).toLongLong();
}

// The files of the data folder that the engine keeps: tables, their journals and the engine's
// own hidden files.
bool IsEngineFileName(const QString& name) {
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".db")) || lower.contains(QLatin1String(".db-")) ||
           lower.startsWith(kEngineFile) || lower.endsWith(QLatin1String(".creating")) ||
           lower.contains(QLatin1String(".creating-"));
}

QString RefusalOf(const QString& shown, const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("%1 はフォルダのため、書き出し先にできません").arg(Native(shown));
    const QString config = QFileInfo(EngineConfigFile()).canonicalFilePath();
    if (!config.isEmpty() && info.canonicalFilePath() == config)
        return QStringLiteral("%1 はデータベースの設定ファイルのため、置き換えられません")
            .arg(Native(shown));
    QString dataFolder;
    try {
        if (EngineConfigProblem(QStringLiteral("kestran")).isEmpty())
            dataFolder = QFileInfo(DatabasePath(QStringLiteral("kestran"))).canonicalFilePath();
    } catch (const TError&) {
        dataFolder.clear();
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (!dataFolder.isEmpty() && folder == dataFolder && IsEngineFileName(info.fileName()))
        return QStringLiteral("%1 はデータフォルダ %2 のテーブルまたはその管理ファイルのため、"
                              "置き換えられません")
            .arg(Native(shown), Native(dataFolder));
    if (!info.exists())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 は読めないため、置き換えてよいファイルか確かめられません（%2）")
            .arg(Native(shown), file.errorString());
    if (file.read(16) == QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("%1 は SQLite のデータベース（テーブル）のため、置き換えられません")
            .arg(Native(shown));
    return QString();
}

// A device over a file descriptor that keeps the cause of a failed write.
class TFdDevice : public QIODevice {
public:
    explicit TFdDevice(int fd) : fd_(fd) { QIODevice::open(QIODevice::WriteOnly); }
    int Error() const { return error_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : ENOSPC;
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int fd_;
    int error_ = 0;
};

} // namespace

QString OutputRefusal(const QString& target) {
    QString refusal = RefusalOf(target, target);
    if (!refusal.isEmpty())
        return refusal;
    // A link is replaced, not what it points to, but a link to a table is refused all the same.
    const QFileInfo info(target);
    if (info.isSymLink() && info.exists())
        return RefusalOf(target, info.canonicalFilePath());
    return QString();
}

struct TOutputFile::Impl {
    QString target, temp;
    int fd = -1;
    std::unique_ptr<TFdDevice> device;
    bool committed = false;

    [[noreturn]] void Fail(int error) const {
        throw TError(QStringLiteral("%1 に書き込めません（%2）").arg(Native(target), Cause(error)));
    }
    void CloseFd() {
        if (device)
            device->close();
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

TOutputFile::TOutputFile(const QString& target) : d(std::make_unique<Impl>()) {
    d->target = target;
    const QString refusal = OutputRefusal(target);
    if (!refusal.isEmpty())
        throw TError(refusal);
    const QString folder = FolderOf(target);
    const QString prefix =
        QLatin1Char('.') + QFileInfo(target).fileName() + QStringLiteral(".tavelon-");
    // What a killed write of this target left.
    const QStringList entries = QDir(folder).entryList({prefix + QStringLiteral("*.tmp")},
                                                       QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (!ProcessAlive(PidIn(e, prefix)))
            QFile::remove(folder + e);
    for (int attempt = 0; attempt < 100 && d->fd < 0; ++attempt) {
        d->temp = folder + prefix +
                  QStringLiteral("%1-%2.tmp")
                      .arg(QString::number(::getpid()),
                           QString::number(QRandomGenerator::global()->bounded(1000000)));
        d->fd = ::open(QFile::encodeName(d->temp).constData(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (d->fd < 0 && errno != EEXIST)
            d->Fail(errno);
    }
    if (d->fd < 0)
        d->Fail(EEXIST);
    d->device = std::make_unique<TFdDevice>(d->fd);
}

TOutputFile::~TOutputFile() {
    d->CloseFd();
    if (!d->committed && !d->temp.isEmpty())
        QFile::remove(d->temp);
}

QIODevice& TOutputFile::Device() {
    return *d->device;
}

QString TOutputFile::TemporaryPath() {
    d->CloseFd();
    return d->temp;
}

QString TOutputFile::Target() const {
    return d->target;
}

void TOutputFile::Commit() {
    if (d->device && d->device->Error() != 0)
        d->Fail(d->device->Error());
    if (d->fd >= 0) {
        if (::fsync(d->fd) != 0)
            d->Fail(errno);
        d->CloseFd();
    } else if (!SyncPath(d->temp, false)) {
        d->Fail(errno != 0 ? errno : EIO);
    }
    // The target may have become a table since the write began.
    const QString refusal = OutputRefusal(d->target);
    if (!refusal.isEmpty())
        throw TError(refusal);
    if (::rename(QFile::encodeName(d->temp).constData(),
                 QFile::encodeName(d->target).constData()) != 0)
        d->Fail(errno);
    d->committed = true;
    SyncPath(FolderOf(d->target), true);
}

// ---- folders built beside their destination ----------------------------------------------------

namespace {

QString StagingPrefix(const QString& destination) {
    return QLatin1Char('.') + QFileInfo(destination).fileName() + QStringLiteral(".tavelon-");
}

// Takes back the tables a killed move put into the destination: those named in the list that
// are still the very files it moved.
void UndoMove(const QString& staging, const QString& destination) {
    QFile list(staging + kMoveList);
    if (!list.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() != 2)
            continue;
        const QString path = destination + QLatin1Char('/') + parts.at(1);
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0 &&
            QString::number(st.st_ino) == parts.at(0)) {
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
        }
    }
}

} // namespace

bool RemoveStagingLeftovers(const QString& destination) {
    const QString dest = AbsoluteClean(destination);
    const QString parent = FolderOf(dest);
    const QString prefix = StagingPrefix(dest);
    const QStringList entries = QDir(parent).entryList(
        {prefix + QStringLiteral("*.staging")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    bool any = false;
    for (const QString& e : entries) {
        if (ProcessAlive(PidIn(e, prefix)))
            continue;
        UndoMove(parent + e + QLatin1Char('/'), dest);
        QDir(parent + e).removeRecursively();
        any = true;
    }
    return any;
}

void BuildFolderAtomically(const QString& destination,
                           const std::function<void(const QString& staging)>& build) {
    const QString dest = AbsoluteClean(destination);
    const QString parent = FolderOf(dest);
    const auto fail = [&](const QString& what, int error) {
        throw TError(QStringLiteral("%1 %2（%3）").arg(Native(dest), what, Cause(error)));
    };
    if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent))
        fail(QStringLiteral("の親フォルダを作成できません"), errno != 0 ? errno : EACCES);
    RemoveStagingLeftovers(dest);

    QString staging;
    for (int attempt = 0; attempt < 100 && staging.isEmpty(); ++attempt) {
        const QString candidate =
            parent + StagingPrefix(dest) +
            QStringLiteral("%1-%2.staging")
                .arg(QString::number(::getpid()),
                     QString::number(QRandomGenerator::global()->bounded(1000000)));
        if (::mkdir(QFile::encodeName(candidate).constData(), 0777) == 0)
            staging = candidate + QLatin1Char('/');
        else if (errno != EEXIST)
            fail(QStringLiteral("の横に作業用のフォルダを作成できません"), errno);
    }
    if (staging.isEmpty())
        fail(QStringLiteral("の横に作業用のフォルダを作成できません"), EEXIST);
    if (!DataFolderPathProblem(staging).isEmpty()) {
        QDir(staging).removeRecursively();
        throw TError(QStringLiteral("%1 のパスが長すぎます（横に作る作業用のフォルダのパスが "
                                    "%2 バイトを超えます）。短いパスのフォルダにしてください")
                         .arg(Native(dest), QString::number(kMaxDataFolderBytes)));
    }

    struct Cleanup {
        QString folder;
        bool keep = false;
        ~Cleanup() {
            if (!keep)
                QDir(folder).removeRecursively();
        }
    } cleanup{staging};

    try {
        build(staging);
    } catch (...) {
        // The folder is about to go: the engine must not keep using its files.
        CloseConnection(staging);
        throw;
    }
    CloseConnection(staging);
    // The engine's hidden files belong to the folder that was built in, not to its tables.
    const QDir built(staging);
    for (const QString& e :
         built.entryList({kEngineFile + QLatin1Char('*')}, QDir::Files | QDir::Hidden))
        QFile::remove(staging + e);
    const QStringList files = built.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& f : files)
        if (!SyncPath(staging + f, false))
            fail(QStringLiteral("に書き込めません"), errno != 0 ? errno : EIO);
    SyncPath(staging, true);

    // A missing or empty destination becomes the built folder in one step.
    const QByteArray from = QFile::encodeName(staging.chopped(1));
    if (::rename(from.constData(), QFile::encodeName(dest).constData()) == 0) {
        cleanup.keep = true;
        SyncPath(parent, true);
        return;
    }
    if (errno != ENOTEMPTY && errno != EEXIST && errno != EBUSY && errno != EXDEV)
        fail(QStringLiteral("に書き込めません"), errno);
    if (!QFileInfo(dest).isDir())
        throw TError(QStringLiteral("%1 はフォルダではありません").arg(Native(dest)));

    // Into a folder with other files: one table at a time, under the list of what is moved.
    QString list;
    for (const QString& f : files) {
        if (!FindNoCaseIn(dest, f).isEmpty())
            throw TError(QStringLiteral("%1 には既に %2 があります")
                             .arg(Native(dest), FindNoCaseIn(dest, f)));
        struct stat st {};
        if (::stat(QFile::encodeName(staging + f).constData(), &st) != 0)
            fail(QStringLiteral("に書き込めません"), errno);
        list += QString::number(st.st_ino) + QLatin1Char('\t') + f + QLatin1Char('\n');
    }
    {
        QFile out(staging + kMoveList);
        if (!out.open(QIODevice::WriteOnly) || out.write(list.toUtf8()) < 0 || !out.flush() ||
            ::fsync(out.handle()) != 0)
            fail(QStringLiteral("に書き込めません"), errno != 0 ? errno : EIO);
    }
    SyncPath(staging, true);
    QStringList moved;
    for (const QString& f : files) {
        const QByteArray source = QFile::encodeName(staging + f);
        const QByteArray target = QFile::encodeName(dest + QLatin1Char('/') + f);
        // link() refuses a file that another run put there meanwhile.
        if (::link(source.constData(), target.constData()) != 0) {
            const int error = errno;
            for (const QString& m : std::as_const(moved))
                QFile::remove(dest + QLatin1Char('/') + m);
            if (error == EEXIST)
                throw TError(QStringLiteral("%1 には既に %2 があります").arg(Native(dest), f));
            fail(QStringLiteral("に書き込めません"), error);
        }
        moved << f;
    }
    SyncPath(dest, true);
    // All are in place: the list goes first, so the next run leaves them there.
    QFile::remove(staging + kMoveList);
    SyncPath(staging, true);
}

} // namespace tv
