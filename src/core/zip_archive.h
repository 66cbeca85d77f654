#pragma once
// A zip archive component: an entry list of files and of data in memory that is written as one
// archive; the reading of an archive's entries into memory; and the extraction of an archive
// into a folder.
//
// An entry may carry a password: it is then stored with traditional PKWARE encryption, which
// every common zip tool reads. Passwords are turned into bytes as Windows-1252, the way the
// tools of the platform this format comes from typed them. Every failure is raised as an
// rt::RtError; a missing or wrong password always as ErrZipPassword, whatever stage of the
// extraction found it.

#include "file_output.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QFile;
class QuaZip;
class QuaZipFile;

namespace rt {

// Error numbers of the component (source "ZipArchive").
enum ZipErrorNumber : int32_t {
    ErrZipNotArchive = 13001, // not a zip archive, or its directory is damaged
    ErrZipCorrupt = 13002,    // an unencrypted entry cannot be inflated or fails its CRC
    ErrZipTooLarge = 13003,   // more entries or more data than the extraction limits allow
    ErrZipPassword = 13009,   // an encrypted entry and a missing or wrong password
};

// Bounds on what one extraction may write, so that a hostile archive cannot fill the disk;
// the caller gives them (the document's are in one place of its own).
struct ZipLimits {
    int MaxEntries = 0;
    qint64 MaxTotalSize = 0;
};

class ZipArchive {
public:
    // The entry list.
    void clear() { entries_.clear(); }
    // Adds a file; its entry takes the file's bare name. A non-empty password encrypts it.
    void addFile(const QString& filePath, const QString& password = QString());
    // Adds an entry whose bytes are made only when the archive is written, and released once
    // stored, so that the entries' data is never held all at once. A null result leaves the
    // entry out.
    using Producer = std::function<QByteArray()>;
    void addData(const QString& entryName, Producer produce, const QString& password = QString());
    qsizetype count() const { return qsizetype(entries_.size()); }
    // Called by write() after each piece it stores (at most 256 KiB of an entry) and between
    // the passes of an encrypted entry, so that a caller can let its window paint while a
    // large archive is compressed. What it does must leave the archive's entries alone.
    void setBetweenPieces(std::function<void()> call) { betweenPieces_ = std::move(call); }

    // Writes the entries, in the order added, as an archive at target, saved as FileOutput's
    // Replace saves a file: a failure leaves an earlier file of that name as it was, and a
    // file other than expected (when not null) at that name is refused. A full disk is error
    // 61 naming the target. Returns the file written.
    FileIdentity write(const QString& target, const FileIdentity& expected = FileIdentity()) const;

    // Extracts every entry of an archive into folder under its bare name (the text after the
    // last "/" or "\"); entries whose bare name is empty, "." or ".." are skipped, and only
    // regular files are written. The password is used only for encrypted entries. More
    // entries, or more bytes in all than the limits allow (as the archive declares them, or as
    // they come out), raise ErrZipTooLarge, leaving no partial file. Returns the names
    // written, in archive order.
    static QStringList extract(const QString& archive, const QString& folder,
                               const QString& password, const ZipLimits& limits);

    // The bare name of an entry name, or "" when it names no file that may be written.
    static QString bareName(const QString& entryName);

private:
    struct Entry {
        QString name;
        QString path; // a file's entry; empty for data
        Producer produce;
        QString password;
    };
    std::vector<Entry> entries_;
    std::function<void()> betweenPieces_;
};

// An archive read entry by entry into memory; nothing of it is written anywhere. The entries
// are known by their bare names (ZipArchive::bareName); of several with one name, the last in
// the archive counts, as it would after an extraction.
class ZipReader {
public:
    // Opens the archive and checks its directory against the limits (the number of entries and
    // the sizes they declare). Raises ErrFileNotFound for a missing file, 70 naming the file
    // for one this user may not read, 75 saying so for a folder, ErrZipNotArchive for anything
    // else that is no zip archive, ErrZipTooLarge beyond the limits. The password is used for
    // the encrypted entries only.
    ZipReader(const QString& archive, const QString& password, const ZipLimits& limits);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // The bare names, in archive order, each once.
    const QStringList& names() const { return names_; }
    // The file read.
    const FileIdentity& identity() const { return identity_; }
    bool contains(const QString& name) const { return entries_.contains(name); }
    // The size the entry declares; -1 when there is no such entry.
    qint64 declaredSize(const QString& name) const;
    // The whole entry. Its bytes count against the limits; a damaged entry raises
    // ErrZipCorrupt, an encrypted one with a missing or wrong password ErrZipPassword.
    QByteArray read(const QString& name);
    // The entry read to its end and checked as read() does, handed to take(bytes, size) a
    // block at a time as it comes out instead of gathered, so that it is never held whole.
    void readBlocks(const QString& name, const std::function<void(const char*, qsizetype)>& take);
    // The entry read again from its start, after read() or readBlocks() took it to its end: each
    // call of the function gives up to `size` more bytes at `to` and returns how many, 0 at the
    // end. Nothing is counted again; a failure raises as read() does. The function reads from
    // this archive, and no other entry may be read while it is in use.
    std::function<qsizetype(char* to, qsizetype size)> readAgain(const QString& name);
    // The entry as a stream, read and checked as read() does as it comes: each call of the
    // function gives up to `size` more bytes at `to` and returns how many, raising as soon as a
    // failure shows. Giving its end (0) checks its size and CRC and counts its bytes against
    // the limits; a stream left before its end counts nothing. The function reads from this
    // archive, and no other entry may be read while it is in use.
    std::function<qsizetype(char* to, qsizetype size)> stream(const QString& name);
    // The entry as a stream for reading its start only (a picture's header); nothing is
    // counted or checked. Null when it cannot be opened.
    std::unique_ptr<QIODevice> open(const QString& name);

private:
    struct Entry {
        quint64 directoryPos = 0;
        quint64 number = 0;
        quint64 size = 0;
        bool encrypted = false;
    };
    // The entry of that name, positioned and opened for reading into file; raises as read()
    // does. Returns the error its data raises.
    int32_t openEntry(const QString& name, QuaZipFile& file, Entry& entry);
    bool goTo(const Entry& entry);
    // Opens the current entry, entry, for reading, with the password if it is encrypted.
    bool openCurrent(QuaZipFile& file, const Entry& entry) const;

    std::unique_ptr<QFile> file_;
    std::unique_ptr<QuaZip> zip_;
    QByteArray password_;
    bool hasPassword_ = false;
    ZipLimits limits_;
    qint64 total_ = 0;
    QStringList names_;
    QHash<QString, Entry> entries_;
    FileIdentity identity_;
};

} // namespace rt
