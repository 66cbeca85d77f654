#include "main_window.h"

#include "core/rt_error.h"

namespace {
std::shared_ptr<MainWindowHost>& installed() {
    static std::shared_ptr<MainWindowHost> host;
    return host;
}
} // namespace

MainWindowHost& mainWindow() {
    if (!installed()) rt::raise(rt::ErrObjectNotSet);
    return *installed();
}

void setMainWindowHost(std::shared_ptr<MainWindowHost> Host) {
    installed() = std::move(Host);
}
