#pragma once
// A zip archive component: an entry list of files that is written as one archive, and the
// extraction of an archive into a folder.
//
// An entry may carry a password: it is then stored with traditional PKWARE encryption, which
// every common zip tool reads. Passwords are turned into bytes as Windows-1252, the way the
// tools of the platform this format comes from typed them. Every failure is raised as an
// rt::RtError; a missing or wrong password always as ErrZipPassword, whatever stage of the
// extraction found it.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

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
    qsizetype count() const { return qsizetype(entries_.size()); }

    // Writes the entries, in the order added, as an archive at target. The archive is made in
    // a temporary file beside the target and renamed over it only when it is complete, so a
    // failure leaves an earlier file of that name as it was. A full disk is error 61 naming
    // the target.
    void write(const QString& target) const;

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
        QString path;
        QString password;
    };
    std::vector<Entry> entries_;
};

} // namespace rt
