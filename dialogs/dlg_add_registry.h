#pragma once
// The registry source picker (dialog 142): the user checks keys in a tree of the maker's
// registry areas under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, types one key path, or both.
//
//   CDlgAddRegistry picker;
//   if (picker.DoModal() != fw::kIdCancel) {
//       for (const std::string& source : picker.selectedSources) { ... }
//   }

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "registry/win_registry.h"

namespace fw {
class TreeView;
}

class CDlgAddRegistry : public fw::Dialog {
    Q_OBJECT
  public:
    static constexpr int kTemplate = 142;

    CDlgAddRegistry();
    ~CDlgAddRegistry() override;

    // The result: registry key paths, the typed one first, then the checked keys in the
    // tree's display order. Filled on OK, emptied on Cancel.
    std::vector<std::string> selectedSources;

  protected:
    // Builds the whole tree at once: every key below the four areas, at any depth; nothing
    // expanded, checked or selected.
    bool OnInitDialog() override;
    void ExchangeData(fw::DataExchange& exchange) override;
    // OK, Enter: reads the edit and collects the result.
    void OnDefaultAction() override;
    // Cancel, Esc, the close box: no result.
    void OnCancelAction() override;

  private:
    // Adds every subkey of `keyPath` under `root` below `item`, each with its own subkeys.
    void FillSubtree(fw::TreeItem item, HKEY root, const std::string& keyPath);
    void FillChildren(fw::TreeItem item, HKEY root, HKEY key);
    void CollectChecked();

    fw::TreeView* keyTree_ = nullptr;  // control 1124
    std::string manualEntry_;          // bound to the edit 1168
};
