// The busy window: a darkened picture of the main window with the animated
// "程序正在执行，请耐心等待" and, for jobs that report it, a progress band.
//
// It lives on the GUI thread and only paints; the job it stands for runs on a
// CLoadingThread. The picture is taken once, when the window is made, so the
// user sees the main window as it was when the operation began.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vorn::ui {

class CLoadingWnd : public QWidget {
    Q_OBJECT
public:
    enum class Phase {
        Created, // made, not shown yet
        Running, // shown, dots animating
        Closing, // stop received, lingering before it closes
        Ended,   // closed; it never comes back
    };
    Q_ENUM(Phase)

    static constexpr int kDotPeriodMs = 750;
    // How long the window stays after the job ended, so a quick job is still seen.
    static constexpr int kDefaultLingerMs = 500;
    static int lingerMs();
    // Tests shorten it; the program never changes it.
    static void setLingerMs(int ms);

    // Covers owner (a child widget over its whole rectangle). Without an owner the
    // window is a small frameless top-level centred on the screen.
    CLoadingWnd(QWidget* owner, const QColor& dimColor, int dimAlpha, bool showProgress,
                int percent);
    ~CLoadingWnd() override;

    // The one font of every busy window of the run, made on first use.
    static const QFont& sharedFont();

    Phase phase() const { return phase_; }
    int dots() const { return dots_; }
    int percent() const { return percent_; }
    bool hasProgress() const { return showProgress_; }
    // The text as painted now, dots (or their blanks) included.
    QString messageText() const;
    // Where the message and the progress band go, in window coordinates.
    QRect messageRect() const;
    QRect progressRect() const;

public slots:
    // Shows the window and starts the dots. A stop that came first ends it at once
    // (after the usual linger), so an early stop is never lost.
    void start();
    // Clamped to 0..100; repaints the band if it is shown.
    void setPercent(int percent);
    // A line under the message that says what is going on (empty: none).
    void setDetail(const QString& detail);
    QString detail() const { return detail_; }
    // Lingers lingerMs(), then closes. Later calls are ignored.
    void stop();

signals:
    void phaseChanged(vorn::ui::CLoadingWnd::Phase phase);
    void dotsChanged(int dots);
    void ended();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    virtual void DrawMessage(QPainter& painter, int width, int height);
    virtual void DrawProgress(QPainter& painter, int width, int height);

private:
    void setPhase(Phase phase);
    void stepDots();
    void finish();
    void composePicture(const QColor& dimColor, int dimAlpha);

    QPointer<QWidget> owner_;
    bool showProgress_;
    int percent_ = 0;
    int dots_ = 3;
    bool stopRequested_ = false;
    Phase phase_ = Phase::Created;
    QString detail_;
    QPixmap picture_;
    QTimer dotTimer_;
    QTimer lingerTimer_;
};

} // namespace vorn::ui
