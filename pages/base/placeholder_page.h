#pragma once
// Tab page for an area whose own page is not there yet: only the three common buttons. Its load
// reports success and "&Apply" writes nothing, so the area stays exactly as stored.

#include "pages/base/basic_dialog_tab.h"

class CTabDlgPlaceholder : public CBasicDialogTab {
    Q_OBJECT
  public:
    bool LoadFromRegistry() override { return true; }
};
