#pragma once
// The General page tests' common ground: a configuration with the page's areas, and a fixture
// that opens the page on it and reads the controls and the store.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "pages/general/general_registry.h"
#include "pages/general/tab_dlg_general.h"
#include "resources/templates/template_137.h"
#include "tests/support/page_harness.h"
#include "tests/support/ui_kit.h"

namespace generalpagetest {

using namespace res::t137;
using Lines = std::vector<std::string>;

inline const std::string kTreeKey = general::kPreDefinedTreeKeyPath;
inline const std::string kBackUpKey = general::kBackUpKeyPath;
inline const std::string kFileKey = general::kManagerFileKeyPath;
inline const std::string kTreeHeader = "[HKEY_LOCAL_MACHINE\\" + kTreeKey;

// .reg text in which "[T" stands for the PreDefinedTree key.
inline std::string TreeArea(std::string body) {
    for (std::string::size_type pos = 0; (pos = body.find("[T", pos)) != std::string::npos;
         pos += kTreeHeader.size()) {
        body.replace(pos, 2, kTreeHeader);
    }
    return body;
}

inline std::string Node(const std::string& path, int flag) {
    return "[T\\" + path + "]\n\"ChangeAllowed\"=dword:0000000" + std::to_string(flag) + "\n";
}

// In export order, so what "&Apply" leaves can be compared with it as it stands.
inline const std::string kStoredTree =
    TreeArea("[T]\n" + Node("d:", 0) + Node("d:\\archive", 0) + Node("d:\\data", 1) +
             Node("vlx:", 0) + Node("vlx:\\r1", 0) + Node("vlx:\\r1\\program", 1));
inline const std::string kStoredBackUp = "[HKEY_LOCAL_MACHINE\\" + kBackUpKey +
                                         "]\n@=\"d:\\\\archive\\\\\"\n\"Archive\"=\"Disk\"\n"
                                         "\"Config\"=\"All\"\n";
inline const std::string kStoredFile =
    "[HKEY_LOCAL_MACHINE\\" + kFileKey + "]\n\"MirrorPath\"=\"d:\\\\mirror\\\\\"\n";
inline const std::string kSeed =
    "[HKEY_LOCAL_MACHINE\\Software\\Vorna Roboter GmbH\\Version]\n"
    "\"InstallationDir\"=\"C:\\\\VLX\"\n" +
    kStoredTree + kStoredBackUp + kStoredFile;

inline const Lines kStoredPaths = {"d:",   "d:\\archive", "d:\\data [x]",
                                   "vlx:", "vlx:\\r1",    "vlx:\\r1\\program [x]"};

class GeneralPageTest : public ::testing::Test {
  protected:
    void Open(const std::string& regText) {
        page_ = nullptr;
        harness_.reset();
        harness_ = std::make_unique<testsupport::PageHarness>(regText);
        page_ = &harness_->CreatePage<CTabDlgGeneral>(kTemplate);
        loaded_ = harness_->LoadResult();
    }

    CTabDlgGeneral& Page() { return *page_; }
    uikit::UiRecorder& Ui() { return harness_->Ui(); }
    fw::TreeView& TreeControl() { return page_->Item<fw::TreeView>(kTree); }
    Lines Paths() { return uikit::TreePaths(*page_, kTree); }
    std::string Text(int id) { return page_->GetItemText(id); }
    std::string Export(const std::string& path) { return harness_->Export(path); }
    bool KeyExists(const std::string& path) { return harness_->KeyExists(path); }
    void Apply() { harness_->Apply(); }
    fw::TreeItem Find(const Lines& path) { return uikit::FindTreeItem(*page_, kTree, path); }
    void Select(const Lines& path) { uikit::SelectTreeItem(*page_, kTree, Find(path)); }
    // Types a path into "Full Path" and adds it with Enter released there.
    void TypeAndEnter(const std::string& path) {
        uikit::TypeText(*page_, kFullPath, path);
        uikit::TapKey(*page_, kFullPath, fw::kVkReturn);
    }
    // Items with children that are not expanded.
    Lines Collapsed() {
        Lines out;
        fw::TreeView& tree = TreeControl();
        std::vector<fw::TreeItem> pending{tree.GetRootItem()};
        while (!pending.empty()) {
            fw::TreeItem item = pending.back();
            pending.pop_back();
            for (; item; item = tree.GetNextSibling(item)) {
                if (tree.ItemHasChildren(item)) {
                    if (!tree.IsExpanded(item)) {
                        out.push_back(tree.GetItemText(item));
                    }
                    pending.push_back(tree.GetChildItem(item));
                }
            }
        }
        return out;
    }

    std::unique_ptr<testsupport::PageHarness> harness_;
    CTabDlgGeneral* page_ = nullptr;  // owned by the harness
    bool loaded_ = false;
};

}  // namespace generalpagetest
