// Prints every control of the main window as "name left top width height" in
// pixels of the window's client area, from the layout table, for the scripts
// that drive the real window with the mouse (scripts/lib/x11-session.sh).
#include "ui/layout.h"

#include <cstdio>
#include <string_view>

int main() {
    for (const Placement& control : form1Layout::all) {
        QRect at = control.geometry();
        // Controls inside a frame are placed relative to it.
        for (std::string_view container = control.container; !container.empty();) {
            const Placement* frame = nullptr;
            for (const Placement& candidate : form1Layout::all) {
                if (candidate.name == container) frame = &candidate;
            }
            if (!frame) break;
            at.translate(frame->geometry().topLeft());
            container = frame->container;
        }
        std::printf("%.*s %d %d %d %d\n", static_cast<int>(control.name.size()),
                    control.name.data(), at.left(), at.top(), at.width(), at.height());
    }
    return 0;
}
