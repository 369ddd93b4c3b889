#include "framework/control.h"

#include "framework/dialog.h"

namespace fw {

void Control::Report(Notification& notification) {
    if (programmatic_ > 0 || owner_ == nullptr) {
        return;
    }
    notification.controlId = id_;
    owner_->DispatchNotification(notification);
}

void Control::Report(Notify code) {
    Notification notification;
    notification.code = code;
    Report(notification);
}

void Control::ReportRow(Notify code, int row) {
    Notification notification;
    notification.code = code;
    notification.row = row;
    Report(notification);
}

}  // namespace fw
