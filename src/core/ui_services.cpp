#include "ui_services.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <vector>

namespace rt {

namespace {

// Services without windows, for a program without the application object: the prompt goes to
// the error output and the default button answers.
class PlainUiServices : public UiServices {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title.isEmpty() ? applicationTitle() : title),
                     qPrintable(QString(prompt).replace(u'\r', u'\n')));
        return defaultButtonOf(style);
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
    void doEvents(bool excludeUserInput) override {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(excludeUserInput ? QEventLoop::ExcludeUserInputEvents
                                                             : QEventLoop::AllEvents);
    }
    void setHourglass(bool on) override { hourglass_ = on; }
    bool hourglass() const override { return hourglass_; }

private:
    bool hourglass_ = false;
};

std::shared_ptr<UiServices>& defaults() {
    static std::shared_ptr<UiServices> instance = std::make_shared<PlainUiServices>();
    return instance;
}

std::shared_ptr<UiServices>& current() {
    static std::shared_ptr<UiServices> instance = defaults();
    return instance;
}

} // namespace

int defaultButtonOf(int style) {
    static const std::vector<std::vector<int>> sets = {
        {vbOK},        {vbOK, vbCancel},   {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
        {vbYes, vbNo}, {vbRetry, vbCancel}};
    const int set = style & 0x0F;
    const auto& buttons = set < int(sets.size()) ? sets[set] : sets[0];
    const size_t def = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    return buttons[def < buttons.size() ? def : 0];
}

UiServices& ui() {
    return *current();
}

std::shared_ptr<UiServices> setUiServices(std::shared_ptr<UiServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : defaults();
    return previous;
}

void setDefaultUiServices(std::shared_ptr<UiServices> services) {
    if (!services) return;
    const bool plainInstalled = current() == defaults();
    defaults() = std::move(services);
    if (plainInstalled) current() = defaults();
}

QString applicationTitle() {
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Mirovanta") : name;
}

} // namespace rt
