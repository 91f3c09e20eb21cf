#include "frame/chinesetexts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <cstring>

namespace vorn::ui {

namespace {

const QLocale& chinese() {
    static const QLocale locale(QLocale::Chinese, QLocale::China);
    return locale;
}

constexpr int kDateColumn = ChineseDateDelegate::kDateColumn;

class FileDialogWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QFileDialog*>(watched)) fitFileDialog(*dialog);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void ChineseDateDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != kDateColumn) return;
    if (const auto* model = qobject_cast<const QFileSystemModel*>(index.model()))
        option->text = chinese().toString(model->lastModified(index), QLocale::ShortFormat);
}

QString QtTextGaps::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText || std::strcmp(context, "QAbstractFileIconProvider") != 0) return QString();
    static const struct {
        const char* source;
        const char* text;
    } gaps[] = {
        {"Folder", "文件夹"},     {"File Folder", "文件夹"}, {"Drive", "驱动器"},
        {"Shortcut", "快捷方式"}, {"Alias", "替身"},
    };
    for (const auto& gap : gaps)
        if (std::strcmp(sourceText, gap.source) == 0) return QString::fromUtf8(gap.text);
    return QString();
}

void fitFileDialog(QFileDialog& dialog) {
    auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!tree) return;
    if (!tree->property("vornChinese").toBool()) {
        tree->setProperty("vornChinese", true);
        tree->setItemDelegateForColumn(kDateColumn, new ChineseDateDelegate(tree));
    }
    // Room for the longest date there is (two-digit month, day and hour).
    const QString longest =
        chinese().toString(QDateTime(QDate(2000, 12, 28), QTime(23, 58)), QLocale::ShortFormat);
    const int needed = tree->fontMetrics().horizontalAdvance(longest) +
                       4 * tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 16;
    QHeaderView* header = tree->header();
    if (header->count() > kDateColumn && header->sectionSize(kDateColumn) < needed)
        header->resizeSection(kDateColumn, needed);
}

void installChineseTexts(QApplication& app) {
    QLocale::setDefault(chinese());
    // Where Debian's translations are installed; without them Qt's dialogs
    // stay in English and work the same.
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(qtTexts);
        // Asked first, answers only what the translation lacks.
        app.installTranslator(new QtTextGaps(&app));
    } else {
        delete qtTexts;
    }
    // A desktop's own file dialog follows the desktop's language, not ours.
    app.setAttribute(Qt::AA_DontUseNativeDialogs);
    app.installEventFilter(new FileDialogWatch(&app));
}

} // namespace vorn::ui
