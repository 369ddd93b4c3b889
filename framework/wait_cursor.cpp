#include "framework/wait_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace fw {
namespace {

int activeScopes = 0;

}  // namespace

WaitCursor::WaitCursor() {
    ++activeScopes;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    Restore();
}

void WaitCursor::Restore() {
    if (!active_) {
        return;
    }
    active_ = false;
    --activeScopes;
    QGuiApplication::restoreOverrideCursor();
}

bool WaitCursor::IsShown() {
    return activeScopes > 0;
}

}  // namespace fw
