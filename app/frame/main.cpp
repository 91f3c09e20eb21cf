// Vornmart: the shop program.
#include <cstdlib>

#include "frame/vornmartapp.h"

int main(int argc, char** argv) {
    vorn::ui::CVornmartApp::prepare();
    vorn::ui::CVornmartApp app(argc, argv);
    if (!app.initInstance()) return EXIT_FAILURE;
    return app.exec();
}
