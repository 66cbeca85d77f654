#pragma once
// Test fixture for the new, open and save roads: a zeroed document state, recording views,
// scripted message boxes and file dialogs, a scripted ask-save dialog, settings cleared and a
// scratch folder for the files, all put back after each test.

#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "document/forms/ask_save.h"
#include "document/forms/document_roads.h"
#include "document/modified.h"
#include "document/recording_views.h"
#include "platform/scripted_services.h"
#include "platform/scripted_ui_services.h"
#include "shell/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <deque>
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

// The user's answer to one ask-save dialog.
struct AskSaveReply {
    enum Button { Cancel = 0, Yes = 1, No = 2 };
    Button Answer = Cancel;
    std::set<int> Deselect; // lines (0-based) the user deselects before answering
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
        previousAskSave_ = setAskSaveDialog([this] { runAskSave(); });
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        setAskSaveDialog(previousAskSave_);
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

    void replyAskSave(AskSaveReply::Button answer, std::set<int> deselect = {}) {
        askSaveReplies.push_back({answer, std::move(deselect)});
    }

    RecordingViews& views() { return *views_; }
    rt::ScriptedUiServices& ui() { return *ui_; }
    rt::ScriptedCommonDialogs& dialogs() { return *dialogs_; }

    std::deque<AskSaveReply> askSaveReplies; // none left: the dialog is cancelled
    std::vector<AskSaveSeen> askSaveSeen;

private:
    // Plays the ask-save dialog: it takes the name, lists the changed parts all selected, and
    // the user deselects lines and answers.
    void runAskSave() {
        QString fileName = Exchange.DialogText;
        const std::vector<AskSaveLine> lines = ChangedPartLines(CurDoc);
        AskSaveSeen seen{fileName, {}, dialogs_->fileRequests.size()};
        for (const AskSaveLine& l : lines)
            seen.Lines << l.Text;
        askSaveSeen.push_back(seen);

        AskSaveReply reply;
        if (!askSaveReplies.empty()) {
            reply = askSaveReplies.front();
            askSaveReplies.pop_front();
        }
        std::vector<bool> selected(lines.size(), true);
        for (int i : reply.Deselect)
            selected.at(size_t(i)) = false;
        if (reply.Answer == AskSaveReply::Yes)
            Exchange.DialogResult = SaveSelectedParts(fileName, lines, selected);
        else
            Exchange.DialogResult = reply.Answer == AskSaveReply::No ? 1 : 0;
    }

    QTemporaryDir dir_;
    std::shared_ptr<RecordingViews> views_;
    std::shared_ptr<rt::ScriptedUiServices> ui_;
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs_;
    std::shared_ptr<DocViews> previousViews_;
    std::shared_ptr<rt::UiServices> previousUi_;
    std::shared_ptr<rt::CommonDialogServices> previousDialogs_;
    std::function<void()> previousAskSave_;
};
