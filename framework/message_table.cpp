#include "framework/message_table.h"

namespace fw {

const MessageTableBase::Entry* MessageTableBase::FindEntry(int id, Notify code) const {
    for (const Entry& entry : entries_) {
        if (entry.code == code && id >= entry.firstId && id <= entry.lastId) {
            return &entry;
        }
    }
    return nullptr;
}

bool MessageTableBase::Dispatch(Dialog& dialog, Notification& notification) const {
    for (const MessageTableBase* table = this; table != nullptr; table = table->base_) {
        if (const Entry* entry = table->FindEntry(notification.controlId, notification.code)) {
            entry->invoke(dialog, notification);
            return true;
        }
    }
    return false;
}

bool MessageTableBase::Handles(int id, Notify code) const {
    for (const MessageTableBase* table = this; table != nullptr; table = table->base_) {
        if (table->FindEntry(id, code) != nullptr) {
            return true;
        }
    }
    return false;
}

}  // namespace fw
