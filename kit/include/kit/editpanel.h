// The editing panel of a list page: a modeless window beside the list that
// edits the selected records. Enter saves, Esc hides it, and the page hears
// whenever it is shown or hidden (searching and deleting depend on it).
#pragma once

#include <QWidget>

class QKeyEvent;

namespace vorn::ui {

class EditPanel : public QWidget {
    Q_OBJECT
public:
    // owner is the main window; the panel is a tool window of its own and
    // stays hidden until it is opened for rows.
    explicit EditPanel(QWidget* owner);

public slots:
    // "确认保存" (or Enter).
    virtual void save() = 0;

signals:
    void visibilityChanged(bool visible);

protected:
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
