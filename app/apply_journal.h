#pragma once
// On Windows every "&Apply" runs inside a journal of its page's area (registry/area_journal.h):
// the registry has no transaction the program can rely on, so a save cut off between its
// delete and its last write would otherwise leave the area half written for good. The file
// store needs none: its write replaces the file atomically.

#include <memory>
#include <string>

#include "app/page_table.h"
#include "pages/base/basic_dialog_tab.h"
#include "registry/area_journal.h"

class CApplyJournal : public CBasicDialogTab::SaveGuard {
  public:
    // Journals and backups under `folder` ("" when the system names none: every save is then
    // refused with that reason, since it could not be taken back).
    explicit CApplyJournal(std::string folder);

    std::string BeforeSave(const common::AreaDescriptor& area,
                           const registry::AreaCopy* asRead) override;
    std::string AfterSave() override;

    // At start-up, before the pages load: for each save that was cut off, says which page's area
    // it was and when, and asks whether to put the area back as it was ("Yes") or leave it and
    // keep the journal as a backup ("No"). Costs one folder listing when there is none.
    void OfferRecovery(const PageTable& pages);

    registry::AreaJournal& Journal() { return journal_; }

  private:
    registry::AreaJournal journal_;
    unsigned long cutAfter_ = 0;  // see the constructor
};
