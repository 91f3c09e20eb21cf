// The editing panel of a list page: a modeless window beside the list that
// edits the selected records. Enter saves, Esc hides it, and the page hears
// whenever it is shown or hidden (searching and deleting depend on it).
#pragma once

#include <QWidget>
#include <QString>
#include <vector>

class QKeyEvent;
class QPushButton;

namespace vorn::ui {

struct PanelField {
    QString label; // with its colon
    QWidget* field;
    Qt::Alignment labelAlignment = Qt::AlignVCenter;
};

class EditPanel : public QWidget {
    Q_OBJECT
public:
    // owner is the main window; the panel is a tool window of its own and
    // stays hidden until it is opened for rows.
    explicit EditPanel(QWidget* owner);

    // Shows the panel for the page's loaded rows at these indices (those out of
    // range are skipped; nothing happens when none is left).
    virtual void openFor(const std::vector<int>& rows) = 0;

public slots:
    // "确认保存" (or Enter).
    virtual void save() = 0;

signals:
    void visibilityChanged(bool visible);
    // After a save: the store's result (records written, 0, or -1), and whether
    // the page's footers may have changed.
    void editFinished(int result, bool footersChanged);

protected:
    // The fields two to a row, label and field, then the wide ones (notes,
    // long names) across the panel, and "确认保存" below on the right; the
    // button saves and is returned.
    QPushButton* layOutFields(const std::vector<PanelField>& pairs, const std::vector<PanelField>& wide);
    // Once the controls are built: its size, and its place at the top left of
    // the screen, out of the list's way.
    void settle();
    // Opened for rows: the title (which says when several records are edited
    // at once) and the panel in front of the main window.
    void bringUp(const QString& title);

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

} // namespace vorn::ui
