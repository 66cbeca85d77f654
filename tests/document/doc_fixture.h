#pragma once
// Test fixture for the document rules: a zeroed document state, recording views in the state
// "Edit" and scripted interactive services, all put back after each test.

#include "document/doc_state.h"
#include "support/recording_views.h"
#include "support/scripted_ui_services.h"

#include <gtest/gtest.h>
#include <memory>

class DocTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        AppVersion = QStringLiteral("2.1");
        views_ = std::make_shared<RecordingViews>();
        views_->State = QStringLiteral("Edit");
        previousViews_ = setDocViews(views_);
        ui_ = std::make_shared<rt::ScriptedUiServices>();
        previousUi_ = rt::setUiServices(ui_);
    }
    void TearDown() override {
        setDocViews(previousViews_);
        rt::setUiServices(previousUi_);
        ResetDocumentState();
    }

    RecordingViews& views() { return *views_; }
    rt::ScriptedUiServices& ui() { return *ui_; }

    std::shared_ptr<RecordingViews> views_;
    std::shared_ptr<rt::ScriptedUiServices> ui_;

private:
    std::shared_ptr<DocViews> previousViews_;
    std::shared_ptr<rt::UiServices> previousUi_;
};
