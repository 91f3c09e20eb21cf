// Qt's own texts and dialogs in Chinese like the rest of the program: the
// translation of Qt's dialogs, the gaps it has, Chinese dates and file types,
// and file dialogs that show their dates whole.
#pragma once

#include <QStyledItemDelegate>
#include <QTranslator>

class QApplication;
class QFileDialog;

namespace vorn::ui {

// The few texts of Qt's file dialogs that its Chinese translation lacks (the
// type of a folder or a drive); answers nothing else.
class QtTextGaps : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// The date column of a file dialog in the Chinese format: the file system
// model writes dates in the system's format (English on a till set up without
// a Chinese system locale).
class ChineseDateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kDateColumn = 3;
    // Public, so a test can read what is drawn.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// Chinese dates and file types (the default locale), Qt's translation where
// installed with our gaps filled, and Qt's own file dialog (which these reach,
// unlike a desktop's) with its date column in the Chinese format and wide
// enough for it. Call once, after the application object exists.
void installChineseTexts(QApplication& app);

// What installChineseTexts does to every file dialog when it is shown.
void fitFileDialog(QFileDialog& dialog);

} // namespace vorn::ui
