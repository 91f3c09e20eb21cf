// The goods tab's two views: the units (the list it always had) and, with the
// check box "按商品汇总", the goods by article. The goods page keeps its list of
// units as it is and hands the commands over here: while the articles are
// shown, the search, its clearing, the export and the entry go to them, and
// what works on single units (edit, delete, import) waits for the units' view.
#pragma once

#include <QObject>
#include <initializer_list>
#include <vector>

class QWidget;

namespace vorn::ui {

class CArticleView;
class CRecordListPage;

class ArticleMode : public QObject {
    Q_OBJECT
public:
    // `units` is the goods page; `unitWidgets` are what shows its units (list, footers).
    ArticleMode(CRecordListPage& units, std::initializer_list<QWidget*> unitWidgets);

    // Whether this decides the command now (the page asks before its own rules).
    bool serves(int id) const;
    bool enabled(int id) const;
    // Carries out a command it serves; true.
    bool run(int id);
    bool checked(int id) const;

    bool articlesShown() const { return on_; }
    // Made when first shown.
    CArticleView* view() const { return view_; }

private:
    void show(bool on);

    CRecordListPage& units_;
    std::vector<QWidget*> unitWidgets_;
    CArticleView* view_ = nullptr;
    bool on_ = false;
};

} // namespace vorn::ui
