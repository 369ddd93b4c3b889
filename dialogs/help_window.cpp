#include "dialogs/help_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(const QString& document, QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("VLX Configurator Help"));
    // Modeless and independent of the main window's modality, so the user can read while working.
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);

    if (QFile::exists(document)) {
        const QString url = document.startsWith(QLatin1Char(':'))
                                ? QStringLiteral("qrc") + document
                                : QUrl::fromLocalFile(document).toString();
        browser_->setSource(QUrl(url));
        hasDocument_ = !browser_->toPlainText().trimmed().isEmpty();
    }
    if (!hasDocument_)
        browser_->setPlainText(
            QStringLiteral("No help document is available for this installation."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(720, 560);
}
