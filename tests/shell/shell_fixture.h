#pragma once
// A main window and month windows for one test, with scripted services, torn down as the
// shutdown does it (state "Unload", month windows released, then the main window).

#include "document/doc_state.h"
#include "document/doc_views.h"
#include "platform/ui_test_support.h"
#include "shell/frm_main.h"
#include "shell/month_window.h"
#include "shell/shell_views.h"

#include <gtest/gtest.h>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        CurDoc.IsSaved = -1; // an unchanged document: closing asks nothing
        previousViews_ = setDocViews(std::make_shared<ShellViews>());
    }
    void TearDown() override {
        CurDoc.IsSaved = -1;
        IsBusy = 0;
        if (FrmMain.exists()) FrmMain->setTag(QStringLiteral("Unload"));
        for (int m = 1; m <= 12; ++m)
            MonthForms(m).release();
        EXPECT_TRUE(FrmMain.release());
        ui_test::flushReleased();
        setDocViews(previousViews_);
        ResetDocumentState();
    }
    // The month group of the toolbar. The main window's set-up adds it when the window loads;
    // this adds it only to a toolbar that lacks it.
    static void addMonthButtons() {
        auto& buttons = FrmMain->TbMain.Buttons();
        for (int i = 1; i <= buttons.Count(); ++i)
            if (buttons(i).Key() == QLatin1String("m01")) return;
        for (int m = 1; m <= 12; ++m)
            buttons.Add({}, QStringLiteral("m%1").arg(m, 2, 10, QChar('0')), {},
                        rt::tbrButtonGroup);
    }
    static rt::ToolbarButton& monthButton(int m) {
        return FrmMain->TbMain.Buttons(QStringLiteral("m%1").arg(m, 2, 10, QChar('0')));
    }

    ui_test::ScriptedServices services;

private:
    std::shared_ptr<DocViews> previousViews_;
};
