#pragma once
// A file written through the system's own calls, so that a failed write keeps its cause: a
// full disk, a full quota or the file size limit is run-time error 61 "Disque plein" naming
// the file that could not be written, whichever layer (an image writer, the zip component)
// was writing. Every error is raised as an rt::RtError.

#include <QIODevice>
#include <QString>
#include <cstdint>

namespace rt {

class RtError;

// The error of a file that cannot be read or written, in the form every file error of the
// program takes: the description, then the path. A missing folder and a folder where the file
// should be are said in words.
RtError fileError(int32_t number, const QString& path);

class FileOutput : public QIODevice {
public:
    enum class Mode {
        // Creates or truncates the regular file at the path itself, never through a symbolic
        // link and never blocking on a special file that carries the name; removed again
        // unless committed. A new file gets the access rights the user's umask leaves.
        Direct,
        // Writes a new file beside the path and puts it in place of the path only on commit,
        // so that a failure leaves an earlier file of that name as it was. A chain of symbolic
        // links is followed to its end, which is the file replaced; every link stays. The new
        // file is hidden under a name of this program's (".NAME.mirovanta-XXXXXX"), and the
        // ones an interrupted write left beside the same file are removed first.
        Replace,
    };

    // Opens for writing; raises when the file cannot be made (76 for a missing folder, 70 for
    // a folder or an earlier file that may not be written, 75 otherwise).
    FileOutput(const QString& path, Mode mode);
    ~FileOutput() override;
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    // The file named in error messages: the path given.
    const QString& path() const { return path_; }

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
    [[noreturn]] void raiseNumber(int32_t number) const;
    [[noreturn]] void raiseErrno(int err) const;
    void discard();

    QString path_;     // the path given
    QByteArray file_;  // the file written: the path itself, or the new file beside it
    QByteArray final_; // Replace: the file the new one takes the place of
    int fd_ = -1;
    int failedErrno_ = 0;
    bool committed_ = false;
};

} // namespace rt
