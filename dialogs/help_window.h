#pragma once
// Shows the help document shipped with the program where the platform has no help viewer for
// "VlxConfigurator.hlp".

#include <QDialog>

class QTextBrowser;

class CHelpWindow : public QDialog {
  public:
    // `document`: resource or file path of the HTML help document.
    explicit CHelpWindow(const QString& document, QWidget* owner = nullptr);

    // True when the document was found and shown; false when the window says none is available.
    bool HasDocument() const { return hasDocument_; }
    QTextBrowser* Browser() const { return browser_; }

  private:
    QTextBrowser* browser_ = nullptr;
    bool hasDocument_ = false;
};
