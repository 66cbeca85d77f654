#pragma once
// Test fixture for the new, open and save roads: a zeroed document state, recording views,
// scripted message boxes, file dialogs and modal forms (the user's answers to the ask-save
// dialog are queued), settings cleared and a scratch folder for the files, all put back after
// each test.

#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "document/forms/ask_save.h"
#include "document/forms/document_roads.h"
#include "document/forms/frm_ask_save.h"
#include "document/modified.h"
#include "document/recording_views.h"
#include "platform/scripted_form_services.h"
#include "platform/scripted_services.h"
#include "platform/scripted_ui_services.h"
#include "shell/settings.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <set>

// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// What the ask-save dialog showed once.
struct AskSaveSeen {
    QString FileName; // the name it was given ("" untitled)
    QStringList Lines;
    size_t FileDialogsBefore = 0; // file dialogs shown before it
};

// The user's answers to an ask-save dialog.
struct AskSaveReply {
    enum Button { Cancel, Yes, No, CloseBox };
};

class RoadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        AppVersion = QStringLiteral("2.1");
        Settings = AppSettings{};
        views_ = std::make_shared<RecordingViews>();
        views_->State = QStringLiteral("Edit");
        previousViews_ = setDocViews(views_);
        ui_ = std::make_shared<rt::ScriptedUiServices>();
        previousUi_ = rt::setUiServices(ui_);
        dialogs_ = std::make_shared<rt::ScriptedCommonDialogs>();
        previousDialogs_ = rt::setCommonDialogServices(dialogs_);
        forms_ = std::make_shared<rt::ScriptedFormServices>();
        previousForms_ = rt::setFormServices(forms_);
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        rt::setFormServices(previousForms_);
        rt::setCommonDialogServices(previousDialogs_);
        rt::setUiServices(previousUi_);
        setDocViews(previousViews_);
        Settings = AppSettings{};
        ResetDocumentState();
    }

    // A full path in the scratch folder.
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Makes the live document a new one, unchanged, with its last-saved copy equal.
    void startDocument(const QString& fileName = QString()) {
        CurDoc = BlankDocument(true);
        SetDocDefaults(CurDoc);
        CurDoc.FileName = fileName;
        SetModified(0, 0, 0);
        SavedDoc = CurDoc;
        views_->State = QStringLiteral("Edit");
    }

    // Writes the live document as fileName and makes it the saved, unchanged document.
    void startSavedDocument(const QString& fileName) {
        startDocument();
        ASSERT_TRUE(SaveCalFile(fileName, CurDoc));
        SetModified(0, 0, 0);
        SavedDoc = CurDoc;
        views_->State = QStringLiteral("Edit");
        views_->ClearCalls();
    }

    // Queues the user's answer to the next ask-save dialog: the lines to deselect, then the
    // button.
    void replyAskSave(AskSaveReply::Button answer, std::set<int> deselect = {}) {
        forms_->modalScripts.push_back([this, answer, deselect](rt::Form& form) {
            auto& dialog = dynamic_cast<FrmAskSaveForm&>(form);
            AskSaveSeen seen{dialog.FileName, {}, dialogs_->fileRequests.size()};
            for (int i = 0; i < dialog.LstAskSave.ListCount(); ++i)
                seen.Lines << dialog.LstAskSave.List(i);
            askSaveSeen.push_back(seen);
            auto* list = qobject_cast<QListWidget*>(dialog.LstAskSave.widget());
            for (int i : deselect)
                list->item(i)->setSelected(false); // as the user's click does
            switch (answer) {
            case AskSaveReply::Yes:
                dialog.CmdYes.raiseEvent(rt::Event::Click);
                break;
            case AskSaveReply::No:
                dialog.CmdNo.raiseEvent(rt::Event::Click);
                break;
            case AskSaveReply::Cancel:
                dialog.CmdCancel.raiseEvent(rt::Event::Click);
                break;
            case AskSaveReply::CloseBox:
                dialog.closeByUser();
                break;
            }
        });
    }

    RecordingViews& views() { return *views_; }
    rt::ScriptedUiServices& ui() { return *ui_; }
    rt::ScriptedCommonDialogs& dialogs() { return *dialogs_; }
    rt::ScriptedFormServices& forms() { return *forms_; }

    std::vector<AskSaveSeen> askSaveSeen;

private:
    QTemporaryDir dir_;
    std::shared_ptr<RecordingViews> views_;
    std::shared_ptr<rt::ScriptedUiServices> ui_;
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs_;
    std::shared_ptr<DocViews> previousViews_;
    std::shared_ptr<rt::UiServices> previousUi_;
    std::shared_ptr<rt::CommonDialogServices> previousDialogs_;
    std::shared_ptr<rt::ScriptedFormServices> forms_;
    std::shared_ptr<rt::FormServices> previousForms_;
};
