#pragma once
// Shared test set-up: every test program runs with an offscreen QApplication, Qt's French
// translation, French as Qt's default locale (the C library follows the locale the run sets), a
// fixed clock and a settings store in a scratch folder.

#include "core/system.h"

#include <QDateTime>
#include <QKeyCombination>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class QImage;
class QWidget;

namespace testing_support {

// The date and time every test starts with: Monday 15 March 2004, 10:00.
QDateTime fixedNow();

// The fixed system installed by the test main; tests may change its fields.
rt::FixedSystemInfo& fixedSystem();

// A scratch folder that lives as long as the test program.
QString scratchFolder();

// The ordinary users "mrvalice" and "mrvbob", each with a group of its own and both in the group
// "mrvfamily", made where they are missing; false when they cannot be (needs root).
bool makeOrdinaryUsers();

// What desktop-file-validate finds wrong with a desktop entry: "" when the entry passes;
// nullopt when the tool is not installed.
std::optional<QString> desktopEntryProblems(const QString& path);

// A chunk of a PNG file: its length, type, data and CRC.
QByteArray pngChunk(const char* type, const QByteArray& data);
// The PNG file of image, with bytes put before its first chunk of that type ("IDAT", "IEND").
QByteArray pngWith(const QImage& image, const char* before, const QByteArray& inserted);

// Collects the warnings logged while it lives, and passes them on to the log as well.
class WarningLog {
public:
    WarningLog();
    ~WarningLog();
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    // The warnings that contain text.
    QStringList containing(const QString& text) const { return messages.filter(text); }

    QStringList messages;

private:
    QtMessageHandler previous_;
};

// Makes the module loader search only these folders while it lives (an empty folder: every
// module is missing), then the program's folders again.
class ModulesSearchedIn {
public:
    explicit ModulesSearchedIn(const QStringList& folders);
    ~ModulesSearchedIn();
    ModulesSearchedIn(const ModulesSearchedIn&) = delete;
    ModulesSearchedIn& operator=(const ModulesSearchedIn&) = delete;
};

// Restores the fixed system's fields to their start values (the test main does it before each
// test).
void resetFixedSystem();

// One step of the user at the keyboard: a text typed key by key, or one key with its modifiers
// (Qt::Key_Tab, Qt::CTRL | Qt::Key_V).
using KeyStep = std::variant<QString, QKeyCombination>;
// Plays the steps as a keyboard does: each key goes to the widget that has the focus then.
// False when a step found no widget with the focus.
bool userTypes(const std::vector<KeyStep>& steps);
// Activates the widget's window and gives the widget the focus as the Tab key does (a text box
// selects its text, a date picker its first field).
void tabInto(QWidget* widget);

} // namespace testing_support
