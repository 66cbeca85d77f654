#pragma once
// Drive, folder and file lists. There is one drive here, "/". A folder list shows its folder
// with the folders above it (List(-1) is the folder itself, List(-2) its parent...) and the
// folders in it (List(0) on); a file list shows the files of its Path that match its Pattern
// (";" between patterns, letter case ignored, "*.*" for every file). Path, Drive and Pattern
// changes raise their events by code as by the user; a folder that does not exist is run-time
// error 76.

#include "ui_control.h"

#include <QStringList>

class QListWidget;
class QComboBox;

namespace rt {

class DriveListBox : public Control {
public:
    explicit DriveListBox(Container& parent, const QString& name = {}, int index = -1);
    const QString& Drive() const { return drive_; }
    // Any path of the one drive selects it; anything else is run-time error 68.
    void setDrive(const QString& drive);
    QString List(int index) const { return index == 0 ? QStringLiteral("/") : QString(); }
    int ListCount() const { return 1; }
    int ListIndex() const { return 0; }

private:
    QString drive_ = QStringLiteral("/");
    QComboBox* combo_;
};

class DirListBox : public Control {
public:
    explicit DirListBox(Container& parent, const QString& name = {}, int index = -1);
    const QString& Path() const { return path_; }
    void setPath(const QString& path);
    // The folder itself and those above it (negative indexes), and those in it (0 on).
    QString List(int index) const;
    int ListCount() const { return int(subfolders_.size()); }
    // -1 is the folder itself.
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    void Refresh() override;

    void userOpen(int index);

private:
    void rebuild();
    QString path_;
    QStringList ancestors_; // the folder first, then its parent, up to "/"
    QStringList subfolders_;
    int listIndex_ = -1;
    QListWidget* list_;
};

class FileListBox : public Control {
public:
    explicit FileListBox(Container& parent, const QString& name = {}, int index = -1);
    const QString& Path() const { return path_; }
    void setPath(const QString& path);
    const QString& Pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    bool Hidden() const { return hidden_; }
    void setHidden(bool on);
    QString List(int index) const;
    int ListCount() const { return int(files_.size()); }
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    // The chosen file's name ("" for none). Setting a name with a folder sets Path, one with
    // a wildcard sets Pattern, a plain name chooses that file.
    QString FileName() const { return List(listIndex_); }
    void setFileName(const QString& name);
    void Refresh() override;

    std::function<void()> onPathChange;
    std::function<void()> onPatternChange;

    void raiseEvent(Event event) override;

private:
    void rebuild();
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    bool hidden_ = false;
    QStringList files_;
    int listIndex_ = -1;
    QListWidget* list_;
};

} // namespace rt
