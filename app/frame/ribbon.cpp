#include "frame/ribbon.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "frame/ribbontable.h"
#include "kit/text/gbklimit.h"
#include "res/commandids.h"
#include "res/strings.h"

namespace vorn::ui {

namespace {

// The keys of the counter's commands (the code edit takes them).
const char* counterKey(int id) {
    switch (id) {
    case cmd::MemberDiscount: return "F2";
    case cmd::GoodsDiscount: return "F3";
    case cmd::HoldSale: return "F4";
    case cmd::RecallSale: return "F5";
    case cmd::PrintReceipt: return "F7";
    case cmd::ReturnGoods: return "F8";
    case cmd::DaySales: return "F9";
    default: return nullptr;
    }
}
// Three rows of small controls stand as high as one large button.
constexpr int kRowHeight = 22;
constexpr int kRows = 3;
constexpr int kRowSpacing = 3;
constexpr int kPanelHeight = kRows * kRowHeight + (kRows - 1) * kRowSpacing;
// The most a search edit keeps, in GBK bytes: the widest text column less four.
// A longer text could match nothing.
constexpr int kSearchTextBytes = 252;

// A control whose table width is the least it takes: its own need (a long
// caption, a long entry) makes it wider, never narrower. Done in the size hint,
// which the style sheet's minimum widths leave alone.
template <class Base> class AtLeast : public Base {
public:
    explicit AtLeast(int least, QWidget* parent = nullptr) : Base(parent), least_(least) {
        this->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override {
        const QSize s = Base::sizeHint();
        return {std::max(s.width(), least_), s.height()};
    }

private:
    int least_;
};

// What the tab's panel stack holds: a window onto the panel, which keeps the
// width its controls ask for. A window too narrow for them clips the panel at
// its right end; no control is ever squeezed below its size and cut.
class PanelPage : public QWidget {
public:
    explicit PanelPage(QWidget* panel) : panel_(panel) { panel->setParent(this); }
    QSize sizeHint() const override { return panel_->sizeHint(); }
    QSize minimumSizeHint() const override { return {1, panel_->sizeHint().height()}; }

protected:
    bool event(QEvent* event) override {
        // The panel's controls changed their size (a caption, the entries of a
        // drop-down): give it the width it now asks for.
        if (event->type() == QEvent::LayoutRequest) {
            fit();
            updateGeometry();
        }
        return QWidget::event(event);
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        fit();
    }
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        fit();
    }

private:
    void fit() {
        if (QLayout* l = panel_->layout()) l->activate();
        panel_->setGeometry(0, 0, std::max(panel_->sizeHint().width(), width()), height());
    }

    QWidget* panel_;
};
} // namespace

QIcon Ribbon::icon(const char* name) {
    if (!name) return QIcon();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

Ribbon::Ribbon(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ribbon"));
    setAccessibleName(QStringLiteral("The Ribbon"));
    setAttribute(Qt::WA_StyledBackground);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    tabRow_ = new QWidget(this);
    tabRow_->setObjectName(QStringLiteral("ribbonTabRow"));
    tabRow_->setAttribute(Qt::WA_StyledBackground);
    auto* tabLayout = new QHBoxLayout(tabRow_);
    tabLayout->setContentsMargins(6, 3, 6, 0);
    tabLayout->setSpacing(2);
    tabs_ = new QButtonGroup(this);
    tabs_->setExclusive(true);

    panels_ = new QStackedWidget(this);
    panels_->setObjectName(QStringLiteral("ribbonPanels"));
    panels_->setAttribute(Qt::WA_StyledBackground);

    const auto& table = ribbonTable();
    for (size_t t = 0; t < table.size(); ++t) {
        auto* b = new QToolButton(tabRow_);
        b->setObjectName(QStringLiteral("ribbonTab"));
        b->setText(table[t].name);
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setFocusPolicy(Qt::NoFocus);
        tabs_->addButton(b, static_cast<int>(t));
        tabButtons_.push_back(b);
        tabLayout->addWidget(b);
        panels_->addWidget(new PanelPage(buildPanel(static_cast<int>(t))));
    }
    tabLayout->addStretch(1);
    if (!tabButtons_.empty()) tabButtons_.front()->setChecked(true);

    connect(tabs_, &QButtonGroup::idClicked, this, [this](int index) {
        if (index == panels_->currentIndex()) return;
        panels_->setCurrentIndex(index);
        emit tabSelected(index);
    });

    // A narrow window clips the ribbon at its right end instead of refusing to shrink.
    tabRow_->setMinimumWidth(1);
    panels_->setMinimumWidth(1);
    outer->addWidget(tabRow_);
    outer->addWidget(panels_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QWidget* Ribbon::buildPanel(int tab) {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("ribbonPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(0);
    const auto& groups = ribbonTable()[static_cast<size_t>(tab)].groups;
    for (const auto& group : groups) {
        layout->addWidget(buildGroup(group));
        auto* sep = new QFrame(panel);
        sep->setObjectName(QStringLiteral("ribbonSeparator"));
        sep->setFrameShape(QFrame::NoFrame);
        sep->setFixedWidth(1);
        layout->addWidget(sep);
    }
    layout->addStretch(1);
    return panel;
}

QWidget* Ribbon::buildGroup(const RibbonGroup& group) {
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("ribbonGroup"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(4, 0, 6, 0);
    layout->setSpacing(4);

    QVBoxLayout* column = nullptr;
    int rows = 0;
    auto closeColumn = [&] {
        if (column) column->addStretch(1);
        column = nullptr;
        rows = 0;
    };
    for (const auto& c : group.controls) {
        switch (c.kind) {
        case RibbonKind::Break:
            closeColumn();
            break;
        case RibbonKind::Large:
        case RibbonKind::LargePopup:
            closeColumn();
            layout->addWidget(buildLarge(c), 0, Qt::AlignTop);
            break;
        default: {
            if (!column || rows == kRows) {
                closeColumn();
                auto* holder = new QWidget(box);
                column = new QVBoxLayout(holder);
                column->setContentsMargins(2, 0, 2, 0);
                column->setSpacing(kRowSpacing);
                holder->setFixedHeight(kPanelHeight);
                layout->addWidget(holder);
            }
            column->addWidget(buildSmall(c), 0, Qt::AlignLeft);
            ++rows;
        }
        }
    }
    closeColumn();
    return box;
}

QWidget* Ribbon::buildLarge(const RibbonControl& c) {
    auto* b = new QToolButton;
    b->setObjectName(QStringLiteral("ribbonLarge"));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(32, 32));
    b->setIcon(icon(c.icon));
    b->setText(ui::caption(c.id));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedHeight(kPanelHeight);
    b->setMinimumWidth(56);
    // The counter's key for the command, small in the button's corner: a
    // cashier learns the keyboard from the buttons.
    if (const char* key = counterKey(c.id)) {
        auto* k = new QLabel(QString::fromLatin1(key), b);
        k->setObjectName(QStringLiteral("ribbonKey"));
        k->setStyleSheet(QStringLiteral("color: #5a6b80; font-size: 10px; background: transparent;"));
        k->setAttribute(Qt::WA_TransparentForMouseEvents);
        k->adjustSize();
        k->move(2, 1);
    }
    Item item;
    item.kind = static_cast<int>(c.kind);
    item.button = b;
    item.widget = b;
    if (c.kind == RibbonKind::LargePopup) {
        auto* menu = new QMenu(b);
        menu->setObjectName(QStringLiteral("ribbonMenu"));
        for (int id : c.menu) {
            QAction* a = menu->addAction(ui::caption(id));
            connect(a, &QAction::triggered, this, [this, id] { emit command(id); });
            Item mi;
            mi.kind = static_cast<int>(c.kind);
            mi.action = a;
            add(id, mi);
        }
        b->setMenu(menu);
        b->setPopupMode(QToolButton::InstantPopup);
    } else {
        connect(b, &QToolButton::clicked, this, [this, id = c.id] { emit command(id); });
    }
    add(c.id, item);
    return b;
}

QWidget* Ribbon::buildSmall(const RibbonControl& c) {
    Item item;
    item.kind = static_cast<int>(c.kind);
    const QString text = ui::caption(c.id);
    QWidget* w = nullptr;
    switch (c.kind) {
    case RibbonKind::Small:
    case RibbonKind::SmallText: {
        auto* b = new AtLeast<QPushButton>(c.width);
        b->setText(text);
        b->setObjectName(QStringLiteral("ribbonSmall"));
        b->setFlat(true);
        b->setFocusPolicy(Qt::NoFocus);
        if (c.kind == RibbonKind::Small) {
            b->setIcon(icon(c.icon));
            b->setIconSize(QSize(16, 16));
        }
        // A counter key shows at the button's right end, as in the large buttons' corner.
        if (const char* key = counterKey(c.id)) {
            auto* k = new QLabel(QString::fromLatin1(key), b);
            k->setObjectName(QStringLiteral("ribbonKey"));
            k->setStyleSheet(QStringLiteral("color: #5a6b80; font-size: 10px; background: transparent;"));
            k->setAttribute(Qt::WA_TransparentForMouseEvents);
            auto* row = new QHBoxLayout(b);
            row->setContentsMargins(0, 0, 4, 0);
            row->addStretch();
            row->addWidget(k, 0, Qt::AlignVCenter);
        }
        // A caption set later (a chosen date span) widens the button rather than being cut.
        connect(b, &QPushButton::clicked, this, [this, id = c.id] { emit command(id); });
        item.button = b;
        w = b;
        break;
    }
    case RibbonKind::Check:
    case RibbonKind::Radio: {
        QAbstractButton* b = nullptr;
        if (c.kind == RibbonKind::Check) {
            b = new QCheckBox(text);
        } else {
            auto* r = new QRadioButton(text);
            // The owner decides which radio is on, from its own state.
            r->setAutoExclusive(false);
            b = r;
        }
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QAbstractButton::clicked, this, [this, id = c.id] { emit command(id); });
        item.button = b;
        w = b;
        break;
    }
    case RibbonKind::Edit:
    case RibbonKind::Combo: {
        auto* row = new QWidget;
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(4);
        item.label = new QLabel(text, row);
        item.label->setObjectName(QStringLiteral("ribbonInputLabel"));
        h->addWidget(item.label);
        if (c.kind == RibbonKind::Edit) {
            item.edit = new QLineEdit(row);
            item.edit->setObjectName(QStringLiteral("ribbonEdit"));
            if (c.width > 0) item.edit->setFixedWidth(c.width);
            // Text GBK cannot hold is dropped as it is typed or pasted, and the main
            // window's status bar says so, as in every other field of the program.
            limitGbk(item.edit, kSearchTextBytes);
            connect(item.edit, &QLineEdit::returnPressed, this, [this, id = c.id] { emit command(id); });
            h->addWidget(item.edit);
        } else {
            item.combo = new AtLeast<QComboBox>(c.width, row);
            item.combo->setObjectName(QStringLiteral("ribbonCombo"));
            item.combo->setEditable(false);
            item.combo->addItems(c.items);
            // A search condition starts empty: nothing chosen means "any".
            item.combo->setCurrentIndex(-1);
            // Wide enough for the longest entry beside the arrow, whatever the
            // entries become (the goods types).
            item.combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            connect(item.combo, &QComboBox::activated, this, [this, id = c.id] { emit command(id); });
            h->addWidget(item.combo);
        }
        w = row;
        break;
    }
    case RibbonKind::Spacer:
    case RibbonKind::Label:
    default: {
        auto* l = new QLabel(text);
        l->setObjectName(c.kind == RibbonKind::Spacer ? QStringLiteral("ribbonSpacer")
                                                      : QStringLiteral("ribbonHint"));
        if (c.kind == RibbonKind::Spacer && c.width > 0) l->setFixedWidth(c.width);
        item.label = l;
        w = l;
        break;
    }
    }
    w->setFixedHeight(kRowHeight);
    item.widget = w;
    // Hint lines and spacers are no commands.
    if (c.kind != RibbonKind::Spacer && c.kind != RibbonKind::Label) add(c.id, item);
    return w;
}

void Ribbon::add(int id, Item item) {
    if (items_.emplace(id, item).second) ids_.push_back(id);
}

int Ribbon::tabCount() const {
    return static_cast<int>(tabButtons_.size());
}
int Ribbon::currentTab() const {
    return panels_->currentIndex();
}

void Ribbon::setCurrentTab(int index) {
    if (index < 0 || index >= tabCount()) return;
    tabButtons_[static_cast<size_t>(index)]->setChecked(true);
    panels_->setCurrentIndex(index);
}

bool Ribbon::isTabEnabled(int index) const {
    return isTabVisible(index) && tabButtons_[static_cast<size_t>(index)]->isEnabled();
}

bool Ribbon::isTabVisible(int index) const {
    return index >= 0 && index < tabCount() && !tabButtons_[static_cast<size_t>(index)]->isHidden();
}

void Ribbon::setTabVisible(int index, bool visible) {
    if (index >= 0 && index < tabCount()) tabButtons_[static_cast<size_t>(index)]->setVisible(visible);
}

int Ribbon::tabIndex(const QString& name) const {
    for (size_t i = 0; i < tabButtons_.size(); ++i)
        if (tabButtons_[i]->text() == name) return static_cast<int>(i);
    return -1;
}

void Ribbon::setTabEnabled(int index, bool enabled) {
    if (index >= 0 && index < tabCount()) tabButtons_[static_cast<size_t>(index)]->setEnabled(enabled);
}

QString Ribbon::tabText(int index) const {
    return index >= 0 && index < tabCount() ? tabButtons_[static_cast<size_t>(index)]->text() : QString();
}

void Ribbon::clickTab(int index) {
    if (!isTabEnabled(index)) return;
    tabButtons_[static_cast<size_t>(index)]->click();
}

bool Ribbon::isCommandEnabled(int id) const {
    auto it = items_.find(id);
    if (it == items_.end()) return false;
    return it->second.action ? it->second.action->isEnabled() : it->second.widget->isEnabled();
}

bool Ribbon::isCommandChecked(int id) const {
    auto it = items_.find(id);
    return it != items_.end() && it->second.button && it->second.button->isChecked();
}

void Ribbon::setCommandState(int id, bool enabled, bool checked) {
    auto it = items_.find(id);
    if (it == items_.end()) return;
    Item& item = it->second;
    if (item.action) {
        item.action->setEnabled(enabled);
        return;
    }
    if (item.widget->isEnabled() != enabled) item.widget->setEnabled(enabled);
    auto kind = static_cast<RibbonKind>(item.kind);
    if ((kind == RibbonKind::Check || kind == RibbonKind::Radio) && item.button->isChecked() != checked)
        item.button->setChecked(checked);
    // A large button a page reports as checked (the zoomed chart, all charts at
    // once) shows pressed while it can be used; it never toggles by a click of
    // its own, the next update sets it from the page. Only a checkable button
    // takes a check, and only setChecked() repaints it (setCheckable(false)
    // clears the check silently): so checkable first when pressing, unchecked
    // first when releasing.
    const bool pressed = checked && enabled;
    if (kind == RibbonKind::Large && item.button && item.button->isChecked() != pressed) {
        if (pressed) {
            item.button->setCheckable(true);
            item.button->setChecked(true);
        } else {
            item.button->setChecked(false);
            item.button->setCheckable(false);
        }
    }
}

QString Ribbon::text(int id) const {
    auto it = items_.find(id);
    if (it == items_.end()) return QString();
    if (it->second.edit) return it->second.edit->text();
    if (it->second.combo) return it->second.combo->currentText();
    return QString();
}

void Ribbon::setText(int id, const QString& text) {
    auto it = items_.find(id);
    if (it == items_.end()) return;
    if (it->second.edit) {
        it->second.edit->setText(text);
    } else if (it->second.combo) {
        it->second.combo->setCurrentIndex(it->second.combo->findText(text, Qt::MatchExactly));
    }
}

int Ribbon::index(int id) const {
    auto it = items_.find(id);
    return it != items_.end() && it->second.combo ? it->second.combo->currentIndex() : -1;
}

void Ribbon::setIndex(int id, int index) {
    auto it = items_.find(id);
    if (it == items_.end() || !it->second.combo) return;
    QComboBox* c = it->second.combo;
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

void Ribbon::setItems(int id, const QStringList& items) {
    auto it = items_.find(id);
    if (it == items_.end() || !it->second.combo) return;
    it->second.combo->clear();
    it->second.combo->addItems(items);
    // Nothing is chosen until the user picks a type: an empty choice means "any".
    it->second.combo->setCurrentIndex(-1);
}

QStringList Ribbon::items(int id) const {
    QStringList out;
    auto it = items_.find(id);
    if (it == items_.end() || !it->second.combo) return out;
    for (int i = 0; i < it->second.combo->count(); ++i)
        out << it->second.combo->itemText(i);
    return out;
}

QString Ribbon::caption(int id) const {
    auto it = items_.find(id);
    if (it == items_.end()) return QString();
    if (it->second.action) return it->second.action->text();
    if (it->second.button) return it->second.button->text();
    return it->second.label ? it->second.label->text() : QString();
}

void Ribbon::setCaption(int id, const QString& caption) {
    auto it = items_.find(id);
    if (it == items_.end()) return;
    if (it->second.action) {
        it->second.action->setText(caption);
    } else if (it->second.button) {
        it->second.button->setText(caption);
    } else if (it->second.label) {
        it->second.label->setText(caption);
    }
}

void Ribbon::setIcon(int id, const QIcon& icon) {
    auto it = items_.find(id);
    if (it != items_.end() && it->second.button) it->second.button->setIcon(icon);
}

QIcon Ribbon::commandIcon(int id) const {
    auto it = items_.find(id);
    return it != items_.end() && it->second.button ? it->second.button->icon() : QIcon();
}

QWidget* Ribbon::widget(int id) const {
    auto it = items_.find(id);
    if (it == items_.end()) return nullptr;
    return it->second.edit ? it->second.edit : it->second.combo ? it->second.combo : it->second.widget;
}

void Ribbon::trigger(int id) {
    auto it = items_.find(id);
    if (it == items_.end()) return;
    Item& item = it->second;
    if (item.action) {
        if (item.action->isEnabled()) item.action->trigger();
        return;
    }
    if (!item.widget->isEnabled()) return;
    if (item.button) {
        auto* tool = qobject_cast<QToolButton*>(item.button);
        if (tool && tool->menu()) return; // a pop-up button only opens its menu
        item.button->click();
    } else if (item.edit || item.combo) {
        emit command(id);
    }
}

} // namespace vorn::ui
