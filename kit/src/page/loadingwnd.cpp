#include "kit/page/loadingwnd.h"

#include <algorithm>

#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace vorn::ui {

namespace {

const QString kMessage = QStringLiteral("程序正在执行，请耐心等待");

// Without an owner there is nothing to darken; this is the size of the plain panel.
constexpr int kLoneWidth = 420;
constexpr int kLoneHeight = 140;

// The bands sit a little above the golden section of the height, as the eye
// expects a notice there rather than dead centre. Truncated toward zero.
int bandTop(int height) { return static_cast<int>((height - 18) * 0.618); }

QRect messageRectFor(int width, int height) {
    return QRect(static_cast<int>((width - 200) * 0.5), bandTop(height), 200, 18);
}

// The detail line sits below the progress band, whether the band is shown or not.
QRect detailRectFor(int width, int height) {
    return QRect(static_cast<int>((width - 400) * 0.5), 44 + bandTop(height), 400, 18);
}

QRect progressRectFor(int width, int height) {
    return QRect(static_cast<int>((width - 400) * 0.5), 22 + bandTop(height), 400, 18);
}

QFont makeSharedFont() {
    // 宋体 where the system has it; otherwise a font that holds the Chinese glyphs,
    // so the notice never shows as boxes.
    const QStringList installed = QFontDatabase::families();
    QString family;
    for (const QString& name : {QStringLiteral("宋体"), QStringLiteral("SimSun"),
                                QStringLiteral("WenQuanYi Micro Hei")}) {
        if (installed.contains(name, Qt::CaseInsensitive)) {
            family = name;
            break;
        }
    }
    if (family.isEmpty()) {
        const QStringList cjk = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        family = cjk.isEmpty() ? QStringLiteral("宋体") : cjk.first();
    }
    QFont font(family);
    font.setPixelSize(12);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

const QFont& CLoadingWnd::sharedFont() {
    // Deliberately never freed: busy windows come and go for the whole run.
    static const QFont* font = new QFont(makeSharedFont());
    return *font;
}

CLoadingWnd::CLoadingWnd(QWidget* owner, const QColor& dimColor, int dimAlpha, bool showProgress,
                         int percent)
    : QWidget(owner, owner ? Qt::WindowFlags()
                           : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner), showProgress_(showProgress), percent_(qBound(0, percent, 100)) {
    setObjectName(QStringLiteral("LoadingWnd"));
    setWindowTitle(QStringLiteral("LoadingWnd"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::WaitCursor);
    sharedFont();

    if (owner) {
        setGeometry(owner->rect());
        owner->installEventFilter(this);
    } else {
        resize(kLoneWidth, kLoneHeight);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            move(screen->availableGeometry().center() - rect().center());
        }
    }
    composePicture(dimColor, dimAlpha);

    dotTimer_.setInterval(kDotPeriodMs);
    connect(&dotTimer_, &QTimer::timeout, this, &CLoadingWnd::stepDots);
    lingerTimer_.setSingleShot(true);
    lingerTimer_.setInterval(lingerMs());
    connect(&lingerTimer_, &QTimer::timeout, this, &CLoadingWnd::finish);
}

CLoadingWnd::~CLoadingWnd() = default;

namespace {
int gLingerMs = CLoadingWnd::kDefaultLingerMs;
} // namespace

int CLoadingWnd::lingerMs() { return gLingerMs; }

void CLoadingWnd::setLingerMs(int ms) { gLingerMs = std::max(0, ms); }

void CLoadingWnd::setDetail(const QString& detail) {
    detail_ = detail;
    update();
}

void CLoadingWnd::composePicture(const QColor& dimColor, int dimAlpha) {
    if (owner_) {
        // Under an owner that was never shown this child would count as visible
        // and paint itself into the picture; hidden explicitly, it stays out.
        hide();
        picture_ = owner_->grab();
    } else {
        picture_ = QPixmap(size());
        picture_.fill(QColor(64, 64, 64));
    }
    QColor veil = dimColor;
    veil.setAlpha(qBound(0, dimAlpha, 255));
    QPainter painter(&picture_);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(QRect(0, 0, picture_.width(), picture_.height()), veil);
}

QString CLoadingWnd::messageText() const {
    QString text = kMessage;
    for (int i = 0; i < 3; ++i) text += i < dots_ ? QLatin1Char('.') : QLatin1Char(' ');
    return text;
}

QRect CLoadingWnd::messageRect() const { return messageRectFor(width(), height()); }

QRect CLoadingWnd::progressRect() const { return progressRectFor(width(), height()); }

void CLoadingWnd::setPhase(Phase phase) {
    if (phase_ == phase) return;
    phase_ = phase;
    emit phaseChanged(phase);
}

void CLoadingWnd::start() {
    if (phase_ != Phase::Created) return;
    setPhase(Phase::Running);
    if (owner_) setGeometry(owner_->rect());
    show();
    raise();
    dotTimer_.start();
    if (stopRequested_) {
        setPhase(Phase::Closing);
        lingerTimer_.start();
    }
}

void CLoadingWnd::stop() {
    if (stopRequested_ || phase_ == Phase::Ended) return;
    stopRequested_ = true;
    // Before start() the stop is only remembered; start() honours it.
    if (phase_ == Phase::Running) {
        setPhase(Phase::Closing);
        lingerTimer_.start();
    }
}

void CLoadingWnd::setPercent(int percent) {
    percent_ = qBound(0, percent, 100);
    if (showProgress_ && phase_ != Phase::Ended) update(progressRect());
}

void CLoadingWnd::stepDots() {
    --dots_;
    if (dots_ < 1) dots_ = 3;
    emit dotsChanged(dots_);
    update(messageRect());
}

void CLoadingWnd::finish() {
    dotTimer_.stop();
    close();
    setPhase(Phase::Ended);
    emit ended();
}

bool CLoadingWnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == owner_ && event->type() == QEvent::Resize) setGeometry(owner_->rect());
    return QWidget::eventFilter(watched, event);
}

void CLoadingWnd::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    const int w = width();
    const int h = height();
    if (picture_.deviceIndependentSize().toSize() != size()) {
        // The owner grew while we were up: dark where the picture does not reach.
        painter.fillRect(rect(), Qt::black);
    }
    painter.drawPixmap(0, 0, picture_);
    // A darker plate under the text keeps it readable over whatever the
    // main window shows at that spot.
    QRect plate = messageRectFor(w, h);
    if (showProgress_) plate = plate.united(progressRectFor(w, h));
    if (!detail_.isEmpty()) plate = plate.united(detailRectFor(w, h));
    plate = plate.united(QRect(plate.center().x() - 130, plate.y(), 260, plate.height()));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRoundedRect(plate.adjusted(-16, -10, 16, 10), 6, 6);
    painter.restore();
    DrawMessage(painter, w, h);
    if (showProgress_) DrawProgress(painter, w, h);
    if (!detail_.isEmpty()) {
        painter.save();
        painter.setFont(sharedFont());
        painter.setPen(QColor(220, 228, 240));
        const QRect band = detailRectFor(w, h);
        painter.drawText(band, Qt::AlignCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(detail_, Qt::ElideRight, band.width()));
        painter.restore();
    }
}

void CLoadingWnd::DrawMessage(QPainter& painter, int width, int height) {
    const QRect band = messageRectFor(width, height);
    painter.save();
    painter.setFont(sharedFont());
    painter.setPen(Qt::white);
    const QString text =
        painter.fontMetrics().elidedText(messageText(), Qt::ElideRight, band.width());
    painter.drawText(band, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void CLoadingWnd::DrawProgress(QPainter& painter, int width, int height) {
    const QRect band = progressRectFor(width, height);
    painter.save();
    // 3.6 px a percent: a full bar is 360 px, leaving room for "100%" at 364.
    painter.fillRect(QRectF(band.x(), band.y() + 7, percent_ * 3.6, 4), Qt::white);
    painter.setFont(sharedFont());
    painter.setPen(Qt::white);
    const QRect textRect(band.x() + 364, band.y(), band.width() - 364, band.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::asprintf("%d%%", percent_));
    painter.restore();
}

} // namespace vorn::ui
