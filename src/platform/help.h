#pragma once
// Opening a topic of the compiled help file in a viewer. One replaceable instance: the program
// uses the one that starts a help viewer, tests a scripted one (tests/support/scripted_services.h).

#include <QString>
#include <QStringList>
#include <memory>

namespace rt {

enum class HelpResult {
    Shown,        // a viewer was started on the file
    NoHelpFile,   // the help file does not exist
    NoViewer,     // no program that shows compiled help files is installed
    ViewerFailed, // the viewer could not be started
};

class HelpServices {
public:
    virtual ~HelpServices() = default;
    // Shows Topic, a path inside the help file written with "\" ("Html\d_about.htm"), of the
    // compiled help file HelpFile. Anything but Shown means the user saw nothing, so that the
    // caller can say so.
    virtual HelpResult showTopic(const QString& helpFile, const QString& topic) = 0;
};

HelpServices& help();
// Installs new services; returns the previous ones. nullptr restores the default services.
std::shared_ptr<HelpServices> setHelpServices(std::shared_ptr<HelpServices> services);

// A topic as the path inside the help file that viewers take: "/" separators, one leading "/".
QString helpTopicPath(const QString& topic);

// Starts an installed viewer of compiled help files: kchmviewer, which opens the topic itself,
// or else xchm, which opens the file at its first page.
class ViewerHelpServices : public HelpServices {
public:
    // Folders searched for the viewers; empty means the PATH.
    explicit ViewerHelpServices(QStringList searchFolders = {});
    HelpResult showTopic(const QString& helpFile, const QString& topic) override;

    // The program and arguments that show the topic; an empty program when no viewer exists.
    struct Command {
        QString program;
        QStringList arguments;
    };
    Command commandFor(const QString& helpFile, const QString& topic) const;

private:
    QStringList searchFolders_;
};

} // namespace rt
