#include "res/vornres.h"

#include <QtCore/qglobal.h>

void vornInitResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(vornres);
        return true;
    }();
    (void)registered;
}
