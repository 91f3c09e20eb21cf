// A main window in a fresh directory of its own (the store "__vorn__" lives in
// the current directory), with message boxes recorded instead of shown.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "frame/mainframe.h"
#include "frame/ribbon.h"
#include "kit/page/appstate.h"
#include "kit/text/gbk.h"
#include "kit/page/loadingwnd.h"
#include "kit/dialog/msgbox.h"
#include "vorn/password.h"

namespace vorn::ui::test {

inline const QString kAdmin = QStringLiteral("admin");
inline const QString kAdminPassword = QStringLiteral("Tq4#Lm8!Wz2^Kd7&Rv1%Hn6*Pc3=");

// Runs what was posted: deferred deletes of replaced pages, queued closes.
inline void flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void setUpApplication() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("VornmartTest"));
}

class FrameFixture {
public:
    // Enters the directory; `files` may be written there before create().
    FrameFixture() : old_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
        installRecorder(&messages);
        // The busy window need not linger for anybody to see it.
        CLoadingWnd::setLingerMs(0);
        // Password hashes need not be slow here: the tests make many logins.
        vorn::set_password_iterations(64);
    }
    ~FrameFixture() {
        frame.reset();
        flush();
        installRecorder(nullptr);
        QDir::setCurrent(old_);
    }
    FrameFixture(const FrameFixture&) = delete;
    FrameFixture& operator=(const FrameFixture&) = delete;

    bool create() {
        frame = std::make_unique<CMainFrame>();
        if (!frame->create()) return false;
        frame->resize(1280, 800);
        frame->show();
        return true;
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    void addUser(const QString& name, const QString& password, int auth) {
        vorn::URec u;
        u.FUi_Id = 0;
        u.FUs_Name = gbk(name);
        u.FUs_Pas = gbk(password);
        u.FUi_Auth = auth;
        QCOMPARE(frame->state().core.insert_urec(&u, 1), 1);
    }

    bool loginAsAdmin() { return frame->login(kAdmin, kAdminPassword) == 1; }

    Ribbon& ribbon() { return *frame->ribbon(); }
    // Names of the tabs that can be clicked, in ribbon order.
    QStringList enabledTabs() {
        QStringList on;
        for (int i = 0; i < ribbon().tabCount(); ++i)
            if (ribbon().isTabEnabled(i)) on << ribbon().tabText(i);
        return on;
    }
    // Names of the tabs a page fills, in ribbon order: what an administrator sees.
    QStringList pageTabs() {
        QStringList filled;
        for (int i = 0; i < ribbon().tabCount(); ++i)
            if (frame->registry().forTab(ribbon().tabText(i))) filled << ribbon().tabText(i);
        return filled;
    }

    MessageRecorder messages;
    std::unique_ptr<CMainFrame> frame;

private:
    QTemporaryDir dir_;
    QString old_;
};

} // namespace vorn::ui::test
