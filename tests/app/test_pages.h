#pragma once
// Pages for testing the frame: each records its loads, can be told to fail its load, and writes
// one value of its own on "&Apply".

#include <string>
#include <vector>

#include "pages/base/basic_dialog_tab.h"
#include "registry/registry_key.h"

namespace frametest {

// What happened, in order, across all test pages of one run.
struct PageEvents {
    std::vector<std::string> events;
};

class CTestPage : public CBasicDialogTab {
    Q_OBJECT
  public:
    CTestPage(int index, bool loadSucceeds, PageEvents* events)
        : index_(index), loadSucceeds_(loadSucceeds), events_(events) {
        Log("construct");
    }
    ~CTestPage() override { Log("destroy"); }

    bool LoadFromRegistry() override {
        ++loads;
        Log("load");
        return loadSucceeds_;
    }
    void SetLoadSucceeds(bool succeeds) { loadSucceeds_ = succeeds; }

    // "&Apply": one value under the page's own key; reports `saveResult`.
    common::AreaResult SaveToRegistry() override {
        ++saves;
        RegistryKey key;
        if (key.Create(HKEY_LOCAL_MACHINE, KeyPath().c_str()) == 0)
            key.SetString("Applied", "yes");
        return saveResult;
    }
    std::string KeyPath() const { return "Software\\Frame Test\\Page" + std::to_string(index_); }

    int loads = 0;
    int saves = 0;
    common::AreaResult saveResult;

  private:
    void Log(const char* what) {
        if (events_ != nullptr)
            events_->events.push_back(std::string(what) + " " + std::to_string(index_));
    }

    int index_;
    bool loadSucceeds_;
    PageEvents* events_;
};

}  // namespace frametest
