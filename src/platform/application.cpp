#include "application.h"

#include "core/file_output.h"
#include "core/rt_error.h"
#include "qt_ui_services.h"
#include "ui_dispatch.h"
#include "ui_form.h"
#include "ui_form_windows.h"

#include <QAbstractNativeEventFilter>
#include <QAccessible>
#include <QBackingStore>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <string>
#include <string_view>
#include <system_error>
#include <sys/mman.h>
#include <unistd.h>
#include <xcb/xcb.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace rt {

namespace {

bool blockedByModalWindow(QWidget* window) {
    const QWindow* handle = window->windowHandle();
    const QWindow* modal = QGuiApplication::modalWindow();
    return handle && modal && modal != handle && window->isVisible();
}

// The window manager's request to close a window (WM_DELETE_WINDOW) reaches Qt as a client
// message, which Qt drops when a modal window blocks that window: its form is told here, once
// Qt has done with the message.
class WindowManagerCloseFilter : public QAbstractNativeEventFilter {
public:
    explicit WindowManagerCloseFilter(xcb_connection_t* connection)
        : protocols_(atom(connection, "WM_PROTOCOLS")),
          deleteWindow_(atom(connection, "WM_DELETE_WINDOW")) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
        const auto* m = static_cast<const xcb_client_message_event_t*>(message);
        if (m->format != 32 || protocols_ == XCB_NONE || m->type != protocols_ ||
            m->data.data32[0] != deleteWindow_)
            return false;
        QWidget* widget = QWidget::find(WId(m->window));
        if (!widget || !blockedByModalWindow(widget)) return false;
        QTimer::singleShot(0, widget, [target = QPointer<QWidget>(widget)] {
            if (target) dispatch([&] { closeAskedOfBlockedWindows(target); });
        });
        return false;
    }

private:
    static xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 1, uint16_t(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_NONE);
        std::free(reply);
        return found;
    }

    const xcb_atom_t protocols_;
    const xcb_atom_t deleteWindow_;
};

// Qt's accessibility bridge asks for the session bus when it is made, at the first question
// about accessibility (the first window shown at the latest). Where no bus can be had, it is
// made at once with the bus named absent, so that it finds no bus as it would have, without
// the fork and the failed launches; the environment is then as it was for the processes the
// program starts.
void makeAccessibilityBridgeWithoutABus() {
    if (!NoSessionBusCanBeHad(QProcessEnvironment::systemEnvironment())) return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    (void)QAccessible::isActive();
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// A new window is exposed before the window manager activates it, and the activation follows
// at once: drawn at its exposure, the window would be drawn a second time for the focus it then
// gets. Its first frame waits instead until the events that have come in with the exposure are
// handled, the activation among them, and is then drawn whole, once. A window that is never
// activated is drawn all the same, a moment later.
void drawFirstFrameAfterPendingEvents(QWidget* widget) {
    widget->setUpdatesEnabled(false);
    QMetaObject::invokeMethod(
        widget,
        [widget] {
            if (widget->updatesEnabled()) return;
            widget->setUpdatesEnabled(true);
            widget->repaint();
        },
        Qt::QueuedConnection);
}

// A window's first paint fills its whole backing store, which on X11 is memory shared with the
// server: the first touch of each of its pages is a page fault of its own, hundreds for a big
// window. At the window's first exposure the store is sized here, a step ahead of the painting,
// and its pages are asked for in one call; the whole window is then marked for the paint that
// follows, as Qt marks it when it sizes the store itself. What is painted stays the same.
void prepareFirstBackingStore(QObject* receiver) {
    auto* window = qobject_cast<QWindow*>(receiver);
    if (!window || !window->handle()) return;
    QWidget* widget = QWidget::find(window->winId());
    if (!widget || !widget->isWindow() || !widget->isVisible() || !widget->updatesEnabled())
        return;
    QBackingStore* store = widget->backingStore();
    if (!store || !store->size().isEmpty() || widget->size().isEmpty()) return;
    store->resize(widget->size());
    widget->update();
    if (!widget->isActiveWindow()) drawFirstFrameAfterPendingEvents(widget);
    const QPaintDevice* device = store->paintDevice();
    if (!device || device->devType() != QInternal::Image) return;
    const auto* image = static_cast<const QImage*>(device);
    const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    const auto from = uintptr_t(image->constBits()) & ~(page - 1);
    const auto to = uintptr_t(image->constBits()) + uintptr_t(image->sizeInBytes());
    // Refused by a system without the request: the pages then come as they are touched.
    if (from && to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
}

// Loads each shared library of a folder, as a plugin is loaded (symbols bound as used, kept to
// itself); one that does not load is left to its user, which then meets the same error.
void loadLibrariesOf(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= 3 || name.substr(name.size() - 3) != ".so") continue;
        const std::string path = folder + '/' + entry->d_name;
        (void)::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    }
    ::closedir(dir);
}

} // namespace

// The font configuration library is one the GUI library is linked with; it is looked up in the
// process rather than linked again. Reading the configuration from two threads at once is
// safe: the library keeps the first one made.
//
// The image format plugins: the first picture read, the arrow of the toolbar's extension
// button among them, makes Qt load every plugin of its image format folder to ask each whether
// it reads the file. Loaded here beforehand, they are found loaded then. Their folder is
// asked of Qt here, before the application object exists; the thread itself calls no Qt.
EarlyStartWork::EarlyStartWork() {
    using Init = int (*)();
    const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit"));
    const std::string imageFormats =
        QFile::encodeName(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/imageformats")
            .toStdString();
    try {
        work_ = std::thread([init, imageFormats] {
            if (init) init();
            loadLibrariesOf(imageFormats);
        });
    } catch (const std::system_error&) {
        // No thread to be had: each is done when it is first needed.
    }
}

void EarlyStartWork::finishEarlyStartWork() {
    if (work_.joinable()) work_.join();
}

EarlyStartWork::~EarlyStartWork() {
    finishEarlyStartWork();
}

bool NoSessionBusCanBeHad(const QProcessEnvironment& Environment) {
    if (Environment.contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"))) return false;
    const QString runtime = Environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"))) return false;
    const QString launcher = QStringLiteral("dbus-launch");
    if (QFileInfo(QStringLiteral("/usr/bin/") + launcher).isExecutable()) return false;
    const QStringList path =
        Environment.value(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts);
    return QStandardPaths::findExecutable(launcher, path).isEmpty();
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    prepareProcessSignals();
    setDefaultUiServices(std::make_shared<QtUiServices>());
    // Without the file Qt's texts stay in English; the program runs all the same.
    if (qtTranslation_.load(QStringLiteral("qtbase_fr"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslation_);
    // The offscreen platform also answers for X11, without a connection of its own.
    auto* x11 = nativeInterface<QNativeInterface::QX11Application>();
    if (platformName() == QLatin1String("xcb") && x11 && x11->connection()) {
        closeFilter_ = std::make_unique<WindowManagerCloseFilter>(x11->connection());
        installNativeEventFilter(closeFilter_.get());
        makeAccessibilityBridgeWithoutABus();
    }
    finishEarlyStartWork();
    // Qt's painting spreads each large fill over the global thread pool, which starts up to a
    // thread per processor for it; each thread, with its event dispatcher, costs a millisecond
    // or more of processor time to start, and the first paint of a start starts them all at
    // once. Two keep those fills shared out. The program's own tasks run there too (the printer
    // list asked in the background): one of them leaves the other thread to the painting.
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(std::min(pool->maxThreadCount(), 2));
}

Application::~Application() {
    if (closeFilter_) removeNativeEventFilter(closeFilter_.get());
}

bool Application::event(QEvent* event) {
    // The session manager's "die" comes as a Quit event: Qt then closes the modal window and
    // stops there, leaving the windows it blocked open.
    if (event->type() == QEvent::Quit) dispatch([] { closeAskedOfBlockedWindows(); });
    return QApplication::event(event);
}

bool closeAskedOfBlockedWindows(QWidget* Window) {
    std::vector<QPointer<Form>> blocked;
    for (Form* form : loadedForms()) {
        if (form->isMdiChild()) continue;
        QWidget* window = form->window();
        if (window && (!Window || window == Window) && blockedByModalWindow(window))
            blocked.emplace_back(form);
    }
    for (const QPointer<Form>& form : blocked)
        if (form) form->closeAskedWhileBlocked();
    return !blocked.empty();
}

void reportUntrappedError(int32_t number, const QString& description) {
    // The hourglass of the interrupted operation must not stay on.
    SetHourglass(false);
    MsgBox(QStringLiteral("Erreur d'exécution '%1':\r\r%2").arg(number).arg(description),
           vbCritical);
}

void reportUntrappedError(const std::exception_ptr& error) {
    int32_t number = ErrInvalidCall;
    QString description;
    try {
        std::rethrow_exception(error);
    } catch (const RtError& e) {
        number = e.Number;
        description = e.Description;
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    // Reported outside the catch block: the message box runs an event loop.
    reportUntrappedError(number, description);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    // An event is Qt's call, not the program's: an error in it is reported, also beneath code
    // that waits for the errors of handlers (throughQt).
    const HandlerScope scope;
    if (event->type() == QEvent::Expose) prepareFirstBackingStore(receiver);
    // The handlers report their errors themselves (dispatch); this is the last resort.
    std::exception_ptr error;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception&) {
        error = std::current_exception();
    }
    reportUntrappedError(error);
    return true;
}

} // namespace rt
