#include "doc_views.h"

namespace {

// Answers while no window exists: nothing is drawn and every dialog is cancelled.
class SilentViews : public DocViews {
public:
    QString AppState() const override { return state_; }
    void SetMainMode(int32_t Mode) override {
        if (Mode == 1)
            state_ = QStringLiteral("Edit");
        else if (Mode == 2)
            state_ = QStringLiteral("Load");
        else if (Mode == 3)
            state_ = QStringLiteral("Logo");
    }
    QString MainCaption() const override { return caption_; }
    void SetMainCaption(const QString& Caption) override { caption_ = Caption; }
    void SetLoadingCaption(int16_t, const QString&) override {}
    void RedrawDayCell(int16_t, int16_t) override {}
    void RefreshPane(bool, int16_t) override {}
    void ResetMonthWindow(int16_t, int32_t) override {}
    void UnloadMonthWindow(int16_t) override {}
    void HideMonthWindow(int16_t) override {}
    void ShowMonthWindows() override { state_ = QStringLiteral("Edit"); }
    bool ShowPropertiesDialog(bool) override { return false; }
    bool ShowAlarm(int16_t, int16_t, int16_t) override { return false; }
    bool AskPassword(const QString&) override { return false; }

private:
    QString state_;
    QString caption_;
};

std::shared_ptr<DocViews>& current() {
    static std::shared_ptr<DocViews> views = std::make_shared<SilentViews>();
    return views;
}

} // namespace

DocViews& views() {
    return *current();
}

std::shared_ptr<DocViews> setDocViews(std::shared_ptr<DocViews> Views) {
    auto previous = current();
    current() = Views ? std::move(Views) : std::make_shared<SilentViews>();
    return previous;
}
