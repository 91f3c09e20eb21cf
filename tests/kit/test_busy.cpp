// The busy window and running jobs under it.
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <stdexcept>

#include "kit/page/busy.h"
#include "kit/page/loadingthread.h"
#include "kit/page/loadingwnd.h"

using vorn::ui::BusyProgress;
using vorn::ui::CLoadingWnd;
using Phase = vorn::ui::CLoadingWnd::Phase;

namespace {

constexpr int kGenerous = 5000; // ms; far above the 500 ms linger on any machine

// A plain window of one known colour, so the darkened picture can be measured.
struct Owner : QWidget {
    Owner() {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(200, 200, 200));
        setPalette(pal);
        setAutoFillBackground(true);
        resize(800, 600);
    }
};

QColor pixel(const QImage& image, QPoint at) { return image.pixelColor(at); }

bool isWhite(const QColor& c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; }

CLoadingWnd* busyWindowOf(QWidget& owner) { return owner.findChild<CLoadingWnd*>(); }

} // namespace

class TestKitBusy : public QObject {
    Q_OBJECT
private slots:
    void dotsCountDownThreeTwoOneWithTheTimer();
    void pictureIsTheOwnerDarkenedAndCoversIt();
    void percentIsClampedAndDrawnAsABar();
    void stopLingersThenCloses();
    void stopBeforeStartStillEnds();
    void sharedFontHoldsChinese();

    void jobRunsOnAWorkerAndItsResultIsThereAfterwards();
    void windowRunsWhileTheJobRuns();
    void progressCrossesToTheWindowClamped();
    void jobThatThrowsRethrowsHereAndLeavesNoWindow();
    void userInputIsDroppedWhileBusy();
    void worksWithoutAnOwner();
};

void TestKitBusy::dotsCountDownThreeTwoOneWithTheTimer() {
    Owner owner;
    CLoadingWnd wnd(&owner, Qt::black, 96, false, 0);
    QSignalSpy dots(&wnd, &CLoadingWnd::dotsChanged);
    QCOMPARE(wnd.dots(), 3);
    QVERIFY(wnd.messageText().endsWith(QStringLiteral("请耐心等待...")));
    wnd.start();
    QTRY_VERIFY_WITH_TIMEOUT(dots.count() >= 4, 4 * kGenerous);
    QList<int> seen;
    for (int i = 0; i < 4; ++i) seen << dots.at(i).at(0).toInt();
    QCOMPARE(seen, (QList<int>{2, 1, 3, 2}));
    // The text follows the counter: as many full stops as dots, then blanks.
    const int n = wnd.dots();
    QCOMPARE(wnd.messageText().right(3), QString(n, QLatin1Char('.')) + QString(3 - n, QLatin1Char(' ')));
}

void TestKitBusy::pictureIsTheOwnerDarkenedAndCoversIt() {
    Owner owner;
    CLoadingWnd wnd(&owner, Qt::black, 96, false, 0);
    QCOMPARE(wnd.geometry(), owner.rect());
    // 200 under black at alpha 96 gives about 125.
    const QColor dark = pixel(wnd.grab().toImage(), QPoint(5, 5));
    QVERIFY2(qAbs(dark.red() - 125) <= 3, qPrintable(dark.name()));
    QCOMPARE(dark.red(), dark.blue());

    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    wnd.start();
    owner.resize(900, 700);
    QTRY_COMPARE(wnd.geometry(), owner.rect());
    // The bands stay centred on the owner's size.
    QCOMPARE(wnd.messageRect().center().x(), 450 - 1);
    QCOMPARE(wnd.progressRect().top() - wnd.messageRect().top(), 22);
}

void TestKitBusy::percentIsClampedAndDrawnAsABar() {
    Owner owner;
    CLoadingWnd wnd(&owner, Qt::black, 96, true, 0);
    const QRect band = wnd.progressRect();
    const int barY = band.top() + 9;

    wnd.setPercent(-5);
    QCOMPARE(wnd.percent(), 0);
    QImage image = wnd.grab().toImage();
    QVERIFY(!isWhite(pixel(image, QPoint(band.left() + 1, barY))));

    wnd.setPercent(150);
    QCOMPARE(wnd.percent(), 100);
    image = wnd.grab().toImage();
    QVERIFY(isWhite(pixel(image, QPoint(band.left() + 1, barY))));
    QVERIFY(isWhite(pixel(image, QPoint(band.left() + 358, barY))));
    QVERIFY(!isWhite(pixel(image, QPoint(band.left() + 361, barY))));
    QVERIFY(!isWhite(pixel(image, QPoint(band.left() + 180, band.top() + 2))));

    wnd.setPercent(50);
    image = wnd.grab().toImage();
    QVERIFY(isWhite(pixel(image, QPoint(band.left() + 178, barY))));
    QVERIFY(!isWhite(pixel(image, QPoint(band.left() + 182, barY))));
}

void TestKitBusy::stopLingersThenCloses() {
    Owner owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CLoadingWnd wnd(&owner, Qt::black, 96, false, 0);
    QSignalSpy ended(&wnd, &CLoadingWnd::ended);
    wnd.start();
    QVERIFY(wnd.isVisible());
    QTest::qWait(100);
    QCOMPARE(wnd.phase(), Phase::Running);
    QCOMPARE(ended.count(), 0);

    wnd.stop();
    QCOMPARE(wnd.phase(), Phase::Closing);
    QCoreApplication::processEvents();
    QVERIFY(wnd.isVisible()); // still showing: it lingers before closing
    QVERIFY(ended.wait(kGenerous));
    QCOMPARE(wnd.phase(), Phase::Ended);
    QVERIFY(!wnd.isVisible());

    wnd.stop(); // a second stop is harmless
    wnd.start(); // and an ended window never comes back
    QCOMPARE(wnd.phase(), Phase::Ended);
    QVERIFY(!wnd.isVisible());
}

void TestKitBusy::stopBeforeStartStillEnds() {
    Owner owner;
    CLoadingWnd wnd(&owner, Qt::black, 96, false, 0);
    QSignalSpy ended(&wnd, &CLoadingWnd::ended);
    wnd.stop();
    QCOMPARE(wnd.phase(), Phase::Created);
    wnd.start();
    QVERIFY(ended.count() == 1 || ended.wait(kGenerous));
    QCOMPARE(wnd.phase(), Phase::Ended);
}

void TestKitBusy::sharedFontHoldsChinese() {
    const QFont& font = CLoadingWnd::sharedFont();
    QCOMPARE(&font, &CLoadingWnd::sharedFont());
    QCOMPARE(font.pixelSize(), 12);
    QVERIFY(font.bold());
    const QString family = QFontInfo(font).family();
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    QVERIFY2(chinese.contains(family), qPrintable(family));
}

void TestKitBusy::jobRunsOnAWorkerAndItsResultIsThereAfterwards() {
    Owner owner;
    std::vector<int> rows;
    QThread* jobThread = nullptr;
    vorn::ui::runBusy(&owner, [&] {
        jobThread = QThread::currentThread();
        for (int i = 0; i < 1000; ++i) rows.push_back(i * i);
    });
    QCOMPARE(rows.size(), size_t(1000));
    QCOMPARE(rows.back(), 999 * 999);
    QVERIFY(jobThread != nullptr);
    QVERIFY(jobThread != QThread::currentThread());
    QVERIFY(busyWindowOf(owner) == nullptr);

    // A second run in a row gets its own window and worker.
    int second = 0;
    vorn::ui::runBusy(&owner, [&] { second = 7; });
    QCOMPARE(second, 7);
    QVERIFY(busyWindowOf(owner) == nullptr);
}

void TestKitBusy::windowRunsWhileTheJobRuns() {
    Owner owner;
    QSemaphore looked;
    std::atomic<int> phaseSeen{-1};
    QTimer::singleShot(0, [&] {
        if (CLoadingWnd* wnd = busyWindowOf(owner)) phaseSeen = static_cast<int>(wnd->phase());
        looked.release();
    });
    bool acquired = false;
    vorn::ui::runBusy(&owner, [&] { acquired = looked.tryAcquire(1, 10 * kGenerous); });
    QVERIFY(acquired);
    QCOMPARE(phaseSeen.load(), static_cast<int>(Phase::Running));
}

void TestKitBusy::progressCrossesToTheWindowClamped() {
    Owner owner;
    QSemaphore seen;
    bool hadProgressBand = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, [&] {
        CLoadingWnd* wnd = busyWindowOf(owner);
        if (wnd && wnd->percent() == 100) {
            hadProgressBand = wnd->hasProgress();
            poll.stop();
            seen.release();
        }
    });
    poll.start();
    bool acquired = false;
    vorn::ui::runBusyWithProgress(&owner, [&](BusyProgress& progress) {
        progress.set(30);
        progress.set(150);
        acquired = seen.tryAcquire(1, 10 * kGenerous);
    });
    QVERIFY(acquired);
    QVERIFY(hadProgressBand);
}

void TestKitBusy::jobThatThrowsRethrowsHereAndLeavesNoWindow() {
    Owner owner;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             vorn::ui::runBusy(&owner, [] { throw std::runtime_error("disk"); }));
    QVERIFY(busyWindowOf(owner) == nullptr);
    // Nothing is left behind: the next run works.
    bool ran = false;
    vorn::ui::runBusy(&owner, [&] { ran = true; });
    QVERIFY(ran);
}

void TestKitBusy::userInputIsDroppedWhileBusy() {
    Owner owner;
    auto* button = new QPushButton(QStringLiteral("查询"), &owner);
    button->setGeometry(10, 10, 80, 30);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QSignalSpy clicked(button, &QPushButton::clicked);

    QSemaphore clickedDuringJob;
    QTimer::singleShot(50, [&] {
        QTest::mouseClick(button, Qt::LeftButton);
        clickedDuringJob.release();
    });
    vorn::ui::runBusy(&owner, [&] { clickedDuringJob.tryAcquire(1, 10 * kGenerous); });
    QCoreApplication::processEvents();
    QCOMPARE(clicked.count(), 0);

    // Once the job is over the same click goes through.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

void TestKitBusy::worksWithoutAnOwner() {
    int result = 0;
    vorn::ui::runBusyWithProgress(nullptr, [&](BusyProgress& progress) {
        progress.set(50);
        result = 1;
    });
    QCOMPARE(result, 1);
    for (QWidget* top : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<CLoadingWnd*>(top));
}

QTEST_MAIN(TestKitBusy)
#include "test_busy.moc"
