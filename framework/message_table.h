#pragma once
// Per-class message tables: control id + notification, and command ids, mapped to member handlers.
//
// Each dialog class builds one static table and returns it from its GetMessageTable override:
//
//   const fw::MessageTableBase& CMyPage::GetMessageTable() const {
//       static const auto table =
//       fw::MessageTable<CMyPage>(&CBasicDialogTab::GetClassMessageTable())
//           .OnClicked(1006, &CMyPage::AddLevel)
//           .On(1003, fw::Notify::SelChange, &CMyPage::ShowLevel)
//           .OnUpDown(1022, &CMyPage::MoveColumnRequested)
//           .OnCommandRange(32771, 32779, &CMyPage::SelectTabCommand);
//       return table;
//   }
//
// The optional base table is searched when no entry of the class matches, so a class inherits the
// entries of its base. Dispatch happens only for user actions (see notification.h).

#include <functional>
#include <vector>

#include "framework/notification.h"

namespace fw {

class Dialog;

class MessageTableBase {
  public:
    virtual ~MessageTableBase() = default;

    // Runs the handler for (id, code) if this table or a base table has one; true if one ran.
    bool Dispatch(Dialog& dialog, Notification& notification) const;
    // Whether a handler exists for (id, code) here or in a base table.
    bool Handles(int id, Notify code) const;

  protected:
    explicit MessageTableBase(const MessageTableBase* base) : base_(base) {}

    using Invoker = std::function<void(Dialog&, Notification&)>;
    struct Entry {
        int firstId;
        int lastId;  // equal to firstId except for command ranges
        Notify code;
        Invoker invoke;
    };
    void Add(int firstId, int lastId, Notify code, Invoker invoke) {
        entries_.push_back(Entry{firstId, lastId, code, std::move(invoke)});
    }

  private:
    const Entry* FindEntry(int id, Notify code) const;

    const MessageTableBase* base_;
    std::vector<Entry> entries_;
};

// Table of class D (derived from fw::Dialog). Handlers are members of D or of one of its bases.
template <class D>
class MessageTable : public MessageTableBase {
  public:
    explicit MessageTable(const MessageTableBase* base = nullptr) : MessageTableBase(base) {}

    // Any notification with a plain handler.
    MessageTable& On(int id, Notify code, void (D::*handler)()) {
        Add(id, id, code, [handler](Dialog& d, Notification&) { (Cast(d).*handler)(); });
        return *this;
    }
    // Any notification with a handler that reads the details and may set the result.
    MessageTable& On(int id, Notify code, void (D::*handler)(Notification&)) {
        Add(id, id, code, [handler](Dialog& d, Notification& n) { (Cast(d).*handler)(n); });
        return *this;
    }
    // Button / check box clicked, or menu command `id` (the same thing, as on the platform).
    MessageTable& OnClicked(int id, void (D::*handler)()) {
        return On(id, Notify::Clicked, handler);
    }
    MessageTable& OnCommand(int id, void (D::*handler)()) {
        return On(id, Notify::Clicked, handler);
    }
    // Commands firstId..lastId (inclusive); the handler receives the command id.
    MessageTable& OnCommandRange(int firstId, int lastId, void (D::*handler)(int)) {
        Add(firstId, lastId, Notify::Clicked,
            [handler](Dialog& d, Notification& n) { (Cast(d).*handler)(n.controlId); });
        return *this;
    }
    // Up-down position change request; the handler gets the delta and returns the result
    // (nonzero refuses the change).
    MessageTable& OnUpDown(int id, int (D::*handler)(int delta)) {
        Add(id, id, Notify::DeltaPos,
            [handler](Dialog& d, Notification& n) { n.result = (Cast(d).*handler)(n.delta); });
        return *this;
    }

  private:
    static D& Cast(Dialog& d) { return static_cast<D&>(d); }
};

}  // namespace fw
