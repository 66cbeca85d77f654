#include "ui_file_lists.h"

#include "core/rt_error.h"
#include "ui_dispatch.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>

namespace rt {

namespace {

QString cleanFolder(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

[[noreturn]] void pathNotFound() {
    rt::raise(ErrPathNotFound);
}

QStringList sortedNames(QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

// "*.*" means every file here, as it did on the original's drives.
QList<QRegularExpression> patternsOf(const QString& pattern) {
    QList<QRegularExpression> result;
    for (QString p : pattern.split(u';', Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        result << QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                                     QRegularExpression::CaseInsensitiveOption);
    }
    if (result.isEmpty()) result << QRegularExpression(QStringLiteral(".*"));
    return result;
}

} // namespace

// ---- Drives ----

DriveListBox::DriveListBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::DriveListBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    combo_ = new QComboBox;
    combo_->addItem(QStringLiteral("/"));
    attachWidget(combo_);
}

void DriveListBox::setDrive(const QString& drive) {
    if (!drive.startsWith(u'/'))
        throw RtError(68, QStringLiteral("Périphérique non disponible"),
                      QString::fromLatin1(kAppTitle));
    // One drive: selecting it again changes nothing.
}

// ---- Folders ----

DirListBox::DirListBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::DirListBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    list_ = new QListWidget;
    QObject::connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        dispatch([&] { userOpen(item->data(Qt::UserRole).toInt()); });
    });
    QObject::connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!pushing_) dispatch([&] { setListIndex(item->data(Qt::UserRole).toInt()); });
    });
    attachWidget(list_);
    addEventSource(list_->viewport());
    path_ = cleanFolder(QDir::currentPath());
    rebuild();
}

void DirListBox::setPath(const QString& path) {
    const QString clean = cleanFolder(path);
    if (!QFileInfo(clean).isDir()) pathNotFound();
    if (clean == path_) return;
    path_ = clean;
    rebuild();
    changed(Property::Path);
}

QString DirListBox::List(int index) const {
    if (index < 0) {
        const int up = -index - 1;
        return up < ancestors_.size() ? ancestors_[up] : QString();
    }
    if (index >= subfolders_.size()) return {};
    return subfolders_[index];
}

void DirListBox::setListIndex(int index) {
    if (index < -ancestors_.size() || index >= ListCount()) rt::raise(ErrInvalidProperty);
    if (index == listIndex_) return;
    listIndex_ = index;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->data(Qt::UserRole).toInt() == index) {
            pushing_ = true;
            list_->setCurrentRow(i);
            pushing_ = false;
        }
    changed(Property::ListIndex);
}

void DirListBox::userOpen(int index) {
    const QString target = List(index);
    if (!target.isEmpty()) setPath(target);
}

void DirListBox::Refresh() {
    rebuild();
}

void DirListBox::rebuild() {
    ancestors_.clear();
    for (QDir d(path_);;) {
        ancestors_ << cleanFolder(d.absolutePath());
        if (d.isRoot() || !d.cdUp()) break;
    }
    QStringList names = QDir(path_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    subfolders_.clear();
    for (const QString& n : sortedNames(names))
        subfolders_ << QDir(path_).filePath(n);
    listIndex_ = -1;
    pushing_ = true;
    list_->clear();
    for (int i = ancestors_.size() - 1; i >= 0; --i) {
        const QString p = ancestors_[i];
        const int depth = ancestors_.size() - 1 - i;
        auto* item = new QListWidgetItem(QString(depth * 2, u' ') +
                                         (p == QLatin1String("/") ? p : QFileInfo(p).fileName()));
        item->setData(Qt::UserRole, -(i + 1));
        list_->addItem(item);
        if (i == 0) list_->setCurrentItem(item);
    }
    for (int i = 0; i < subfolders_.size(); ++i) {
        auto* item = new QListWidgetItem(QString(ancestors_.size() * 2, u' ') +
                                         QFileInfo(subfolders_[i]).fileName());
        item->setData(Qt::UserRole, i);
        list_->addItem(item);
    }
    pushing_ = false;
}

// ---- Files ----

FileListBox::FileListBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::FileListBox, parent, name, index) {
    initColors(vbWindowBackground, vbWindowText);
    list_ = new QListWidget;
    QObject::connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!pushing_ && row >= 0) dispatch([&] { setListIndex(row); });
    });
    QObject::connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) {
        if (onDblClick) dispatch(onDblClick);
    });
    attachWidget(list_);
    addEventSource(list_->viewport());
    path_ = cleanFolder(QDir::currentPath());
    rebuild();
}

void FileListBox::setPath(const QString& path) {
    const QString clean = cleanFolder(path);
    if (!QFileInfo(clean).isDir()) pathNotFound();
    if (clean == path_) return;
    path_ = clean;
    rebuild();
    changed(Property::Path);
}

void FileListBox::setPattern(const QString& pattern) {
    if (pattern == pattern_) return;
    pattern_ = pattern;
    rebuild();
    changed(Property::Pattern);
}

void FileListBox::setHidden(bool on) {
    hidden_ = on;
    rebuild();
}

QString FileListBox::List(int index) const {
    if (index < 0 || index >= files_.size()) return {};
    return files_[index];
}

void FileListBox::setListIndex(int index) {
    if (index < -1 || index >= ListCount()) rt::raise(ErrInvalidProperty);
    if (index == listIndex_) return;
    listIndex_ = index;
    pushing_ = true;
    list_->setCurrentRow(index);
    pushing_ = false;
    changed(Property::ListIndex);
}

void FileListBox::setFileName(const QString& name) {
    if (name.contains(u'/')) {
        const QFileInfo info(name);
        if (info.isDir()) {
            setPath(name);
            return;
        }
        setPath(info.absolutePath());
        setFileName(info.fileName());
        return;
    }
    if (name.contains(u'*') || name.contains(u'?')) {
        setPattern(name);
        return;
    }
    for (int i = 0; i < files_.size(); ++i)
        if (files_[i].compare(name, Qt::CaseInsensitive) == 0) {
            setListIndex(i);
            return;
        }
    rt::raise(ErrFileNotFound);
}

void FileListBox::Refresh() {
    rebuild();
}

void FileListBox::rebuild() {
    QDir::Filters filters = QDir::Files;
    if (hidden_) filters |= QDir::Hidden;
    const auto patterns = patternsOf(pattern_);
    QStringList names;
    for (const QString& n : QDir(path_).entryList(filters, QDir::NoSort))
        for (const auto& re : patterns)
            if (re.match(n).hasMatch()) {
                names << n;
                break;
            }
    files_ = sortedNames(names);
    listIndex_ = -1;
    pushing_ = true;
    list_->clear();
    list_->addItems(files_);
    pushing_ = false;
}

void FileListBox::raiseEvent(Event event) {
    if (event == Event::PathChange) {
        if (onPathChange) onPathChange();
    } else if (event == Event::PatternChange) {
        if (onPatternChange) onPatternChange();
    } else {
        Control::raiseEvent(event);
    }
}

} // namespace rt
