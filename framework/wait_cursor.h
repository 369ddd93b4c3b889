#pragma once
// The wait cursor over the whole program while a scope runs (a drive or a large folder being
// read). Scopes nest; the cursor before the outermost one comes back when it ends.

namespace fw {

class WaitCursor {
  public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // Ends the wait early (before a message box, say); the destructor then does nothing.
    void Restore();

    // Whether any wait cursor scope is active.
    static bool IsShown();

  private:
    bool active_ = true;
};

}  // namespace fw
