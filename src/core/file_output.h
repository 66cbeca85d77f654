#pragma once
// A file written through the system's own calls, so that a failed write keeps its cause: a
// full disk, a full quota or the file size limit is run-time error 61 "Disque plein" naming
// the file that could not be written, whichever layer (an image writer, the zip component)
// was writing. Every error is raised as an rt::RtError.

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <cstdint>

struct stat;

namespace rt {

class RtError;

// The error of a file that cannot be read or written, in the form every file error of the
// program takes: the description, then the path, then what is known of the cause in
// parentheses. A missing folder and a folder where the file should be are said in words.
RtError fileError(int32_t number, const QString& path, const QString& cause = QString());

// Which file a name led to: the device and inode the system gives it. Null for none.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool isNull() const { return device == 0 && inode == 0; }
    bool operator==(const FileIdentity&) const = default;
};
// The identity of an open file; null when the system cannot tell.
FileIdentity identityOfOpenFile(int fd);

// Removes the partial files that saves of the document at path left when they were killed:
// this user's own, and only those that no save still writes.
void removePartialFiles(const QString& path);
// The partial files that saves of the document at path left beside it, whoever made them and
// whether or not a save still writes them, newest first: what an interrupted save kept of the
// old document, or the new one a killed save did not finish.
QStringList partialFilesOf(const QString& path);

// The points of a save that tests hold it at: another save holds the file and this one begins
// to wait for it; this one holds the file and is about to write into it or rename over it.
enum class SaveStep { WaitForOtherSave, Write };
// For tests: a function called at each of those points; null for none.
void setSaveStepHook(void (*hook)(SaveStep));
// How long a save waits for another save of the same file before it gives up; for tests.
void setSaveLockWait(int milliseconds);

// Makes the process survive what a desktop program meets: a write beyond the file size limit
// fails with its error instead of ending the program. Called once at start.
void prepareProcessSignals();

class FileOutput : public QIODevice {
public:
    enum class Mode {
        // Creates or truncates the regular file at the path itself, never through a symbolic
        // link and never blocking on a special file that carries the name; removed again
        // unless committed. A new file gets the access rights the user's umask leaves.
        Direct,
        // Saves a document so that a failure leaves an earlier file of that name as it was,
        // and a success leaves the same file as far as its owner can tell. A chain of
        // symbolic links is followed to its end, which is the file saved; every link stays,
        // and a link another user may have planted (one not owned by this user or by root, in
        // a sticky or group- or world-writable folder) is refused.
        // - A new file, or an existing one that a new file can stand in for entirely (owned by
        //   this user, one link, its group, mode, access list and attributes copied, in a
        //   folder this user may write), is written beside it and renamed over it on commit.
        //   The new file is hidden under a name of this program's (".NAME.mirovanta-XXXXXX").
        // - Any other existing file is written in place: the content is kept in memory until
        //   commit, room for it is reserved first (a full disk or the size limit then fails
        //   before a byte of the old file is overwritten), and a copy of the old file is kept
        //   beside it under the same kind of name while it is overwritten, where the folder
        //   allows.
        // Saves of one existing file never interleave, whichever road each takes and whoever
        // makes them: each holds an exclusive lock on the file from the moment it checks which
        // file the name leads to until its commit ends, and waits for another save that holds
        // it (75 when that takes too long). Where the file system has no locks, it saves
        // unlocked.
        Replace,
    };

    // Opens for writing; raises when the file cannot be made (76 for a missing folder, 70 for
    // a folder or an earlier file that may not be written, 75 otherwise). Replace: when
    // expected is not null, the file the path leads to once this save holds it must be that
    // one (75 saying that it was replaced otherwise), unless there is none.
    FileOutput(const QString& path, Mode mode, const FileIdentity& expected = FileIdentity());
    ~FileOutput() override;
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    // The file named in error messages: the path given.
    const QString& path() const { return path_; }
    // The file written, once committed.
    const FileIdentity& identity() const { return identity_; }

    // Writes everything or raises the write's error.
    void writeAll(const char* data, qint64 size);
    // Completes the file (Replace: its data on the disk, then in place of the path). Raises
    // the first error met, an earlier failed write's included.
    void commit();
    // Raises the error of an earlier failed write, if there was one.
    void raiseIfFailed() const;

    bool isSequential() const override { return false; }
    bool seek(qint64 pos) override;
    qint64 size() const override;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    // Raises the error number with the file's path after its description.
    [[noreturn]] void raiseNumber(int32_t number, const QString& cause = QString()) const;
    [[noreturn]] void raiseErrno(int err) const;
    void openReplacement(const FileIdentity& expected);
    bool openExisting(const ::stat& found, const FileIdentity& expected);
    void holdAgainstOtherSaves(int target) const;
    bool makeStandIn(const ::stat& existing, int target);
    void commitInPlace();
    void reserve(qint64 length, qint64 oldLength);
    void keepCopy(const ::stat& existing);
    void pwriteAll(const char* data, qint64 size, qint64 offset);
    void discard();

    QString path_;     // the path given
    QByteArray file_;  // the file written: the path itself, or the new file beside it
    QByteArray final_; // Replace: the file saved
    QByteArray copy_;  // in place: the copy of the old file kept while it is overwritten
    int fd_ = -1;
    int copyFd_ = -1;
    int heldFd_ = -1;       // renamed over: the old file, held locked until the rename is done
    bool readable_ = false; // in place: the file was opened for reading too
    bool inPlace_ = false;
    QByteArray buffer_;     // in place: the content, written on commit
    FileIdentity existing_; // Replace: the file found at the path, if any
    FileIdentity identity_;
    int failedErrno_ = 0;
    bool committed_ = false;
};

} // namespace rt
