#pragma once
// Test fixture for the new, open and save roads and their dialogs: a zeroed document state,
// recording views in "Edit", scripted message boxes, file dialogs and modal forms, cleared
// settings and a scratch folder, all put back after each test.

#include "document/cal_reader.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "document_dialogs/ask_save.h"
#include "document_dialogs/document_dialogs.h"
#include "document_dialogs/frm_ask_save.h"
#include "services/settings.h"
#include "shell/frm_main.h"
#include "support/recording_views.h"
#include "support/scripted_form_services.h"
#include "support/scripted_services.h"
#include "support/scripted_ui_services.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <set>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// What one ask-save dialog showed.
struct AskSaveSeen {
    QString FileName;
    QStringList Lines;
    size_t FileDialogsBefore; // file dialogs shown before it
};

enum class Reply { Cancel, Yes, No, CloseBox };

class RoadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        AppVersion = QStringLiteral("2.1");
        // The main window holds the file dialogs; its alarm timer stays off.
        FrmMain->TmALCheck.setEnabled(false);
        SetNoReloadMarker(false);
        Settings = AppSettings{};
        views_ = std::make_shared<RecordingViews>();
        views_->State = QStringLiteral("Edit");
        auto views = setDocViews(views_);
        auto ui = rt::setUiServices(ui_);
        auto dialogs = rt::setCommonDialogServices(dialogs_);
        auto forms = rt::setFormServices(forms_);
        restore_ = [=] {
            setDocViews(views);
            rt::setUiServices(ui);
            rt::setCommonDialogServices(dialogs);
            rt::setFormServices(forms);
        };
    }
    void TearDown() override {
        restore_();
        Settings = AppSettings{};
        ResetDocumentState();
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    // The live document: new, unchanged, equal to its last-saved copy; written first when
    // write is set.
    void startDocument(const QString& fileName = QString(), bool write = false) {
        CurDoc = BlankDocument(true);
        SetDocDefaults(CurDoc);
        CurDoc.FileName = fileName;
        if (write) {
            saveAsIs(fileName);
        } else {
            SetModified(DocPart::All, 0, 0);
            SavedDoc = CurDoc;
        }
    }

    // Writes the live document as it is and makes it the last-saved, unchanged one.
    void saveAsIs(const QString& fileName) {
        ASSERT_TRUE(SaveCalFile(fileName, CurDoc));
        SetModified(DocPart::All, 0, 0);
        SavedDoc = CurDoc;
        views_->State = QStringLiteral("Edit");
        views_->ClearCalls();
    }

    // Marks a change of the live document's author.
    void changeAuthor(const QString& author) {
        CurDoc.Author = author;
        SetModified(DocPart::Header, -1, 0);
    }

    // Queues the user's answer to the next ask-save dialog: the lines (0-based) clicked off,
    // then the button.
    void replyAskSave(Reply answer, std::set<int> deselect = {}) {
        forms_->modalScripts.push_back([this, answer, deselect](rt::Form& form) {
            auto& dialog = dynamic_cast<FrmAskSaveForm&>(form);
            AskSaveSeen seen{dialog.FileName, {}, dialogs_->fileRequests.size()};
            for (int i = 0; i < dialog.LstAskSave.ListCount(); ++i)
                seen.Lines << dialog.LstAskSave.List(i);
            askSaveSeen.push_back(seen);
            auto* list = qobject_cast<QListWidget*>(dialog.LstAskSave.widget());
            for (int i : deselect)
                list->item(i)->setSelected(false);
            if (answer == Reply::CloseBox) {
                dialog.closeByUser();
                return;
            }
            rt::CommandButton& button = answer == Reply::Yes  ? dialog.CmdYes
                                        : answer == Reply::No ? dialog.CmdNo
                                                              : dialog.CmdCancel;
            button.raiseEvent(rt::Event::Click);
        });
    }

    std::shared_ptr<RecordingViews> views_;
    std::shared_ptr<rt::ScriptedUiServices> ui_ = std::make_shared<rt::ScriptedUiServices>();
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs_ =
        std::make_shared<rt::ScriptedCommonDialogs>();
    std::shared_ptr<rt::ScriptedFormServices> forms_ = std::make_shared<rt::ScriptedFormServices>();
    std::vector<AskSaveSeen> askSaveSeen;

private:
    QTemporaryDir dir_;
    std::function<void()> restore_;
};

// Every stored field of a document, as the file holds them.
inline QByteArray stored(const CalDocument& doc) {
    return WriteCalData(doc);
}

inline CalDocument readBack(const QString& path) {
    CalDocument doc = BlankDocument(true);
    EXPECT_TRUE(LoadCalFile(path, doc)) << path.toStdString();
    return doc;
}

inline EVItem event(const QString& text) {
    EVItem item;
    item.Text = text;
    item.Kind = ItemKind::Event;
    item.Colour = -1;
    return item;
}
