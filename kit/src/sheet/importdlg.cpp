#include "kit/sheet/importdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn::ui {

namespace {

constexpr int kPreviewRows = 20;
constexpr int kHeadingChars = 16; // longer headings are cut in the drop-downs
constexpr int kFieldsPerRow = 2;

// Spreadsheet headings carry decorations our captions do not: "零售价(元)",
// "编码：", stray spaces. They are peeled off before comparing.
QString plainHeading(QString s) {
    static const QString suffixes[] = {QStringLiteral("(元)"), QStringLiteral("（元）"),
                                       QStringLiteral(":"), QStringLiteral("：")};
    s = s.trimmed();
    for (bool again = true; again;) {
        again = false;
        for (const QString& suffix : suffixes) {
            if (s.endsWith(suffix)) {
                s.chop(suffix.size());
                s = s.trimmed();
                again = true;
            }
        }
    }
    return s;
}

bool namesField(const ImportField& field, const QString& plain) {
    if (plain.isEmpty()) return false;
    if (plain.compare(plainHeading(field.caption), Qt::CaseInsensitive) == 0) return true;
    for (const QString& h : field.headers) {
        if (plain.compare(plainHeading(h), Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

QString quoted(const QString& s) { return QStringLiteral("“%1”").arg(s); }

QString columnName(int column) { return QStringLiteral("第%1列").arg(column + 1); }

QString shortHeading(const QString& heading) {
    QString s = heading.simplified();
    if (s.size() > kHeadingChars) s = s.left(kHeadingChars - 1) + QStringLiteral("…");
    return s;
}

} // namespace

namespace {

// A first line that names no field at all is data, not headings.
bool namesAnyField(const std::vector<ImportField>& fields, const std::vector<CsvRecord>& records) {
    if (records.empty()) return false;
    const std::vector<int> map = mapHeadings(fields, records.front().fields);
    return std::ranges::any_of(map, [](int c) { return c >= 0; });
}

} // namespace

std::vector<int> mapHeadings(const std::vector<ImportField>& fields, const QStringList& headings) {
    std::vector<int> map(fields.size(), -1);
    std::vector<bool> taken(static_cast<size_t>(headings.size()), false);
    QStringList plain;
    plain.reserve(headings.size());
    for (const QString& h : headings) plain << plainHeading(h);
    for (size_t f = 0; f < fields.size(); ++f) {
        for (qsizetype c = 0; c < plain.size(); ++c) {
            if (taken[static_cast<size_t>(c)] || !namesField(fields[f], plain[c])) continue;
            map[f] = static_cast<int>(c);
            taken[static_cast<size_t>(c)] = true;
            break;
        }
    }
    return map;
}

CImportDlg::CImportDlg(const QString& title, const QString& fileName, std::vector<ImportField> fields,
                       QByteArray bytes, QWidget* parent)
    : QDialog(parent), fields_(std::move(fields)), bytes_(std::move(bytes)) {
    setObjectName(QStringLiteral("CImportDlg"));
    const QString shortName = QFileInfo(fileName).fileName();
    setWindowTitle(shortName.isEmpty() ? title : QStringLiteral("%1 - %2").arg(title, shortName));

    detected_ = detectEncoding(bytes_);
    encoding_ = detected_;

    auto* fileLabel = new QLabel(QStringLiteral("文件：") + fileName);
    fileLabel->setObjectName(QStringLiteral("fileLabel"));
    fileLabel->setToolTip(fileName);
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileLabel->setMinimumWidth(1); // a long path must not widen the dialog

    encodingBox_ = new QComboBox;
    encodingBox_->setObjectName(QStringLiteral("encodingBox"));
    encodingBox_->addItem(QStringLiteral("自动检测（%1）")
                              .arg(detected_ == TextEncoding::Utf8 ? QStringLiteral("UTF-8")
                                                                   : QStringLiteral("GBK")));
    encodingBox_->addItem(QStringLiteral("UTF-8"));
    encodingBox_->addItem(QStringLiteral("GBK（简体中文）"));
    auto* encodingLabel = new QLabel(QStringLiteral("文字编码："));
    encodingLabel->setBuddy(encodingBox_);

    headerBox_ = new QCheckBox(QStringLiteral("第一行是列标题"));
    headerBox_->setObjectName(QStringLiteral("headerBox"));

    decodeNote_ = new QLabel;
    decodeNote_->setObjectName(QStringLiteral("decodeNote"));
    decodeNote_->setWordWrap(true);
    decodeNote_->setStyleSheet(QStringLiteral("QLabel { color: #b0281e; }"));
    decodeNote_->hide();

    auto* top = new QHBoxLayout;
    top->addWidget(encodingLabel);
    top->addWidget(encodingBox_);
    top->addSpacing(24);
    top->addWidget(headerBox_);
    top->addStretch(1);

    // One drop-down per field, two fields to a row, required ones starred.
    auto* mapGroup = new QGroupBox(QStringLiteral("列的对应（带 * 的项目必须选择）"));
    mapGroup->setObjectName(QStringLiteral("mappingGroup"));
    auto* grid = new QGridLayout(mapGroup);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    for (size_t f = 0; f < fields_.size(); ++f) {
        const ImportField& field = fields_[f];
        auto* box = new QComboBox;
        box->setObjectName(QStringLiteral("columnBox%1").arg(f));
        box->setProperty("field", static_cast<int>(f));
        box->setMinimumWidth(190);
        box->setMaxVisibleItems(16);
        auto* label = new QLabel(
            field.required ? QStringLiteral("%1<span style=\"color:#c0392b\">*</span>：")
                                 .arg(field.caption.toHtmlEscaped())
                           : field.caption.toHtmlEscaped() + QStringLiteral("："));
        label->setTextFormat(Qt::RichText);
        label->setBuddy(box);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int row = static_cast<int>(f) / kFieldsPerRow;
        const int col = (static_cast<int>(f) % kFieldsPerRow) * 3;
        grid->addWidget(label, row, col);
        grid->addWidget(box, row, col + 1);
        if (col + 2 < kFieldsPerRow * 3 - 1) grid->setColumnMinimumWidth(col + 2, 18);
        columnBoxes_.push_back(box);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { onColumnChosen(); });
    }
    for (int c = 0; c < kFieldsPerRow; ++c) grid->setColumnStretch(c * 3 + 1, 1);

    countLabel_ = new QLabel;
    countLabel_->setObjectName(QStringLiteral("countLabel"));

    preview_ = new QTableWidget;
    preview_->setObjectName(QStringLiteral("previewTable"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setSelectionMode(QAbstractItemView::NoSelection);
    preview_->setFocusPolicy(Qt::NoFocus);
    preview_->setWordWrap(false);
    preview_->setAlternatingRowColors(true);
    preview_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 8);
    preview_->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    preview_->horizontalHeader()->setSectionsClickable(false);
    preview_->horizontalHeader()->setHighlightSections(false);
    preview_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    preview_->horizontalHeader()->setStretchLastSection(true);
    preview_->verticalHeader()->setMinimumWidth(preview_->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    preview_->setMinimumHeight(preview_->verticalHeader()->defaultSectionSize() * 9);

    problem_ = new QLabel;
    problem_->setObjectName(QStringLiteral("problemLabel"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("QLabel { color: #b0281e; font-weight: bold; }"));
    problem_->hide();

    auto* ok = new QPushButton(QStringLiteral("确定"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CImportDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CImportDlg::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(problem_, 1);
    bottom->addStretch(0); // keeps the buttons to the right while there is no refusal to show
    bottom->addSpacing(12);
    bottom->addWidget(ok, 0, Qt::AlignBottom);
    bottom->addWidget(cancel, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(fileLabel);
    layout->addLayout(top);
    layout->addWidget(decodeNote_);
    layout->addWidget(mapGroup);
    layout->addSpacing(2);
    layout->addWidget(countLabel_);
    layout->addWidget(preview_, 1);
    layout->addLayout(bottom);
    resize(780, sizeHint().height() + 60);

    reparse();
    filling_ = true;
    headerBox_->setChecked(namesAnyField(fields_, all_));
    filling_ = false;
    splitHeader();
    fillColumnBoxes();
    autoMap();
    refreshPreview();

    connect(encodingBox_, &QComboBox::currentIndexChanged, this, &CImportDlg::onEncodingChosen);
    connect(headerBox_, &QCheckBox::toggled, this, &CImportDlg::onHeaderToggled);
}

void CImportDlg::setEncoding(TextEncoding encoding) {
    if (encoding == encoding_) return;
    encodingBox_->setCurrentIndex(encoding == TextEncoding::Utf8 ? 1 : 2);
}

bool CImportDlg::firstLineIsHeader() const { return headerBox_->isChecked(); }

void CImportDlg::setFirstLineIsHeader(bool header) { headerBox_->setChecked(header); }

std::vector<int> CImportDlg::mapping() const {
    std::vector<int> map;
    map.reserve(columnBoxes_.size());
    for (const QComboBox* box : columnBoxes_) map.push_back(box->currentIndex() - 1);
    return map;
}

void CImportDlg::setColumn(int field, int column) {
    if (field < 0 || field >= static_cast<int>(columnBoxes_.size())) return;
    if (column < -1 || column >= columns_) column = -1;
    columnBoxes_[static_cast<size_t>(field)]->setCurrentIndex(column + 1);
}

QString CImportDlg::problem() const { return problem_->text(); }

void CImportDlg::accept() {
    if (data_.empty()) {
        showProblem(QStringLiteral("文件中没有可以导入的数据行。"));
        return;
    }
    const std::vector<int> map = mapping();
    QStringList missing;
    for (size_t f = 0; f < fields_.size(); ++f) {
        if (fields_[f].required && map[f] < 0) missing << quoted(fields_[f].caption);
    }
    if (!missing.isEmpty()) {
        showProblem(QStringLiteral("请为%1选择文件中的列。").arg(missing.join(QStringLiteral("、"))));
        return;
    }
    for (size_t f = 0; f < fields_.size(); ++f) {
        for (size_t g = f + 1; g < fields_.size(); ++g) {
            if (map[f] < 0 || map[f] != map[g]) continue;
            showProblem(QStringLiteral("%1和%2都选择了%3，一列只能对应一个项目。")
                            .arg(quoted(fields_[f].caption), quoted(fields_[g].caption),
                                 columnName(map[f])));
            return;
        }
    }
    showProblem(QString());
    QDialog::accept();
}

void CImportDlg::reparse() {
    // A large catalogue takes a moment to read; the pointer says so.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    bool valid = true;
    all_ = parseCsv(decodeText(bytes_, encoding_, &valid));
    columns_ = 0;
    for (const CsvRecord& r : all_) columns_ = std::max(columns_, static_cast<int>(r.fields.size()));
    if (valid) {
        decodeNote_->hide();
    } else {
        decodeNote_->setText(
            QStringLiteral("按 %1 读取时，文件中有无法识别的字节（显示为 “\uFFFD”），文件可能是另一种编码，请换一种文字编码试试。")
                .arg(encoding_ == TextEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("GBK")));
        decodeNote_->show();
    }
}

void CImportDlg::splitHeader() {
    const bool header = headerBox_->isChecked() && !all_.empty();
    data_.assign(all_.begin() + (header ? 1 : 0), all_.end());
}

void CImportDlg::fillColumnBoxes() {
    const QStringList headings =
        headerBox_->isChecked() && !all_.empty() ? all_.front().fields : QStringList();
    QStringList items;
    items << QStringLiteral("(不导入)");
    for (int c = 0; c < columns_; ++c) {
        const QString heading = c < headings.size() ? shortHeading(headings[c]) : QString();
        items << (heading.isEmpty() ? columnName(c) : QStringLiteral("%1: %2").arg(columnName(c), heading));
    }
    filling_ = true;
    for (QComboBox* box : columnBoxes_) {
        int chosen = box->currentIndex();
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(chosen >= 0 && chosen < items.size() ? chosen : 0);
    }
    filling_ = false;
}

void CImportDlg::autoMap() {
    if (mappedByHand_ || !headerBox_->isChecked() || all_.empty()) return;
    const std::vector<int> map = mapHeadings(fields_, all_.front().fields);
    // Headings that name nothing (read in the wrong encoding, say) leave the
    // columns as they were: the commas are the same in either encoding.
    if (std::ranges::none_of(map, [](int c) { return c >= 0; })) return;
    filling_ = true;
    for (size_t f = 0; f < columnBoxes_.size(); ++f) columnBoxes_[f]->setCurrentIndex(map[f] + 1);
    filling_ = false;
}

void CImportDlg::refreshPreview() {
    const std::vector<int> map = mapping();
    std::vector<size_t> shown; // fields with a column, in field order
    for (size_t f = 0; f < map.size(); ++f) {
        if (map[f] >= 0) shown.push_back(f);
    }
    const int rows = static_cast<int>(std::min<size_t>(kPreviewRows, data_.size()));

    if (data_.empty()) {
        countLabel_->setText(QStringLiteral("数据预览：文件中没有数据行"));
    } else if (shown.empty()) {
        countLabel_->setText(QStringLiteral("数据预览：共 %1 行数据；请先为项目选择文件中的列").arg(data_.size()));
    } else if (static_cast<int>(data_.size()) > rows) {
        countLabel_->setText(QStringLiteral("数据预览：共 %1 行数据，下面是前 %2 行").arg(data_.size()).arg(rows));
    } else {
        countLabel_->setText(QStringLiteral("数据预览：共 %1 行数据").arg(data_.size()));
    }

    preview_->setUpdatesEnabled(false);
    preview_->clear();
    preview_->setColumnCount(static_cast<int>(shown.size()));
    preview_->setRowCount(shown.empty() ? 0 : rows);
    QStringList captions;
    for (size_t f : shown) captions << fields_[f].caption;
    preview_->setHorizontalHeaderLabels(captions);
    QStringList lines;
    for (int r = 0; r < preview_->rowCount(); ++r) {
        const CsvRecord& rec = data_[static_cast<size_t>(r)];
        // The file's own line numbers, as the check after this step reports them.
        lines << QString::number(rec.line);
        for (int k = 0; k < static_cast<int>(shown.size()); ++k) {
            const int column = map[shown[static_cast<size_t>(k)]];
            const QString text = column < rec.fields.size() ? rec.fields[column] : QString();
            auto* item = new QTableWidgetItem(QString(text).replace(u'\n', u' '));
            if (text.contains(u'\n') || text.size() > 24) item->setToolTip(text);
            preview_->setItem(r, k, item);
        }
    }
    preview_->setVerticalHeaderLabels(lines);
    preview_->resizeColumnsToContents();
    QHeaderView* header = preview_->horizontalHeader();
    for (int k = 0; k < preview_->columnCount(); ++k) {
        header->resizeSection(k, std::clamp(header->sectionSize(k) + 8, 64, 220));
    }
    preview_->setUpdatesEnabled(true);
}

void CImportDlg::onEncodingChosen(int index) {
    if (filling_) return;
    const TextEncoding chosen =
        index <= 0 ? detected_ : (index == 1 ? TextEncoding::Utf8 : TextEncoding::Gbk);
    if (chosen == encoding_) return;
    encoding_ = chosen;
    reparse();
    // Headings read in the wrong encoding matched nothing; read right they may.
    if (!headerByHand_) {
        filling_ = true;
        headerBox_->setChecked(namesAnyField(fields_, all_));
        filling_ = false;
    }
    splitHeader();
    fillColumnBoxes();
    autoMap();
    refreshPreview();
    showProblem(QString());
}

void CImportDlg::onHeaderToggled(bool) {
    if (filling_) return;
    headerByHand_ = true;
    splitHeader();
    fillColumnBoxes();
    autoMap();
    refreshPreview();
    showProblem(QString());
}

void CImportDlg::onColumnChosen() {
    if (filling_) return;
    mappedByHand_ = true;
    refreshPreview();
    showProblem(QString());
}

void CImportDlg::showProblem(const QString& text) {
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

} // namespace vorn::ui
