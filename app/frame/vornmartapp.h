// The application object: the look, the profile key and the one main window.
#pragma once

#include <QApplication>
#include <memory>

namespace vorn::ui {

class CMainFrame;
class StoreLock;

class CVornmartApp : public QApplication {
    Q_OBJECT
public:
    // Settings that must be made before the application object exists.
    static void prepare();

    CVornmartApp(int& argc, char** argv);
    ~CVornmartApp() override;

    // Applies the look, creates the main window and shows it maximised. False
    // when the main window could not be created; the program then ends.
    bool initInstance();
    CMainFrame* frame() const { return frame_.get(); }

private:
    std::unique_ptr<StoreLock> lock_; // held for the whole run
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace vorn::ui
