// A fresh store in a temporary directory of its own for each test function, a
// fake main window around it and recorded message boxes. Subsystem fixtures
// build on it.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "fakeshell.h"
#include "kit/page/loadingwnd.h"
#include "kit/dialog/msgbox.h"
#include "vorn/core.h"
#include "vorn/password.h"

namespace vorn::ui::test {

class StoreFixture {
public:
    void setUp() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        // Password hashes need not be slow here: every test makes a new store.
        vorn::set_password_iterations(64);
        shell = std::make_unique<FakeShell>();
        QCOMPARE(shell->st.core.open(), 0);
        QVERIFY(shell->st.loadTypesAndSuppliers());
        boxes = MessageRecorder{};
        installRecorder(&boxes);
        // The busy window need not linger for anybody to see it.
        CLoadingWnd::setLingerMs(0);
    }

    void tearDown() {
        installRecorder(nullptr);
        if (shell) shell->st.core.close();
        shell.reset();
        QDir::setCurrent(previous_);
        dir_.reset();
    }

    vorn::Core& core() { return shell->st.core; }
    QString path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<FakeShell> shell;
    MessageRecorder boxes;

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString previous_;
};

} // namespace vorn::ui::test
