// The editing panel of a list of Rec: the loaded rows it was opened for, copied
// with where each came from, the template record its fields show, and the one
// write of the edited copies that brings the loaded rows in line. A panel of a
// kind of record gives its fields, how it shows and reads them, and what an edit
// writes into each record.
#pragma once

#include <utility>
#include <vector>

#include "kit/page/appstate.h"
#include "kit/page/busy.h"
#include "kit/page/editpanel.h"
#include "kit/page/listloader.h"
#include "kit/page/recordrows.h"
#include "kit/page/shell.h"

namespace vorn::ui {

template <class Rec> class RecordEditPanel : public EditPanel {
public:
    // `loaded`: the page's loaded rows; owner is the main window.
    RecordEditPanel(Shell& shell, std::vector<Rec>& loaded, QWidget* owner)
        : EditPanel(owner), shell_(shell), loaded_(loaded) {}

    void openFor(const std::vector<int>& rows) override {
        PickedRows<Rec> picked = pickRows(loaded_, rows);
        // None left: the panel stays as it was.
        if (picked.records.empty()) return;
        rows_ = std::move(picked.where);
        records_ = std::move(picked.records);
        template_ = records_.front();
        opened();
    }
    int recordCount() const { return static_cast<int>(records_.size()); }

protected:
    // The records were picked and the template is the first: show the panel.
    virtual void opened() = 0;

    // Writes the edited copies (the panel's own: the loaded rows may have been
    // reloaded, a new sort, since it opened) under the busy window; once the
    // store holds them, the loaded rows and the panel's copies take them. Hides
    // the panel and reports the store's result.
    void writeEdited(std::vector<Rec> edited, bool footersChanged) {
        vorn::Core& core = shell_.state().core;
        int result = -1;
        runBusy(shell_.window(),
                [&] { result = RecordCalls<Rec>::update(core, edited.data(), static_cast<int>(edited.size())); });
        if (result > 0) {
            applyEdited(loaded_, rows_, edited);
            records_ = std::move(edited);
        }
        hide();
        emit editFinished(result, footersChanged);
    }

    Shell& shell_;
    std::vector<Rec>& loaded_;
    std::vector<int> rows_;     // where each record was in the loaded rows
    std::vector<Rec> records_;  // the records as they were when opened (or last written)
    Rec template_{};
};

} // namespace vorn::ui
