// A main window stand-in for the goods tests: a state of its own, a plain
// window for the busy window to cover, and the ribbon's values kept in maps.
#pragma once

#include <QMap>
#include <QStringList>
#include <QWidget>

#include "kit/page/appstate.h"
#include "res/commandids.h"
#include "kit/text/gbk.h"
#include "kit/page/shell.h"

namespace vorn::ui::test {

class FakeShell : public Shell {
public:
    FakeShell() {
        win.resize(1280, 720);
        comboItems[cmd::GoodsState] = {QStringLiteral("库存中"), QStringLiteral("已销售")};
        // Counts the reloads of types and suppliers, on which the goods tab
        // refills its type drop-down.
        st.watchCatalog([this] { ++typeRefills; });
    }

    AppState& state() override { return st; }
    QWidget* window() override { return &win; }

    void showStatus(const QString& text) override { statuses << text; }
    QString statusText() const override { return statuses.isEmpty() ? QString() : statuses.last(); }
    void reportFailure(const QString& text) override {
        showStatus(text);
        failures << text;
    }
    void updateCommands() override { ++commandUpdates; }

    // The two drop-down lists answer with their current item; edits with their text.
    QString ribbonText(int id) const override {
        if (comboItems.contains(id)) return comboItems[id].value(comboIndex.value(id, -1));
        return texts.value(id);
    }
    void setRibbonText(int id, const QString& text) override {
        if (comboItems.contains(id))
            comboIndex[id] = comboItems[id].indexOf(text);
        else
            texts[id] = text;
    }
    int ribbonIndex(int id) const override { return comboIndex.value(id, -1); }
    void setRibbonIndex(int id, int index) override { comboIndex[id] = index; }
    void setRibbonCaption(int id, const QString& caption) override { captions[id] = caption; }
    void setRibbonItems(int id, const QStringList& items) override {
        comboItems[id] = items;
        comboIndex[id] = -1;
    }

    AppState st;
    QWidget win;
    QStringList statuses;
    QStringList failures;
    int commandUpdates = 0;
    int typeRefills = 0; // catalog reloads seen
    QMap<int, QString> texts;
    QMap<int, QStringList> comboItems;
    QMap<int, int> comboIndex;
    QMap<int, QString> captions;
};

} // namespace vorn::ui::test
