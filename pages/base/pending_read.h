#pragma once
// A page's read of its registry area made ahead, kept until its LoadFromRegistry shows it.
// `Data` holds the page's records and whatever else the read gives; the page's static read
// function fills a default-constructed one and touches nothing else, so it can run on any
// thread before the page exists (see PageEntry::readAhead).
//
//   bool CTabDlgX::LoadFromRegistry() {
//       AreaRead read = pendingRead_.Take(&CTabDlgX::ReadInto);   // read now if not read ahead
//       ...
//   }

#include <optional>
#include <utility>

template <class Data>
class PendingRead {
  public:
    void Give(Data data) { pending_.emplace(std::move(data)); }

    // The data given, or read now with `read` when there is none; data given is used once, so
    // a later load ("&Restore from Registry") reads the registry again.
    template <class ReadFn>
    Data Take(ReadFn&& read) {
        if (!pending_) {
            pending_.emplace();
            read(*pending_);
        }
        Data data = std::move(*pending_);
        pending_.reset();
        return data;
    }

  private:
    std::optional<Data> pending_;
};
