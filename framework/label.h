#pragma once
// Static controls: text labels, pictures and group frames, all with settable captions.

#include <QGroupBox>
#include <QLabel>
#include <string>

#include "framework/control.h"

namespace fw {

class Label : public QLabel, public Control {
    Q_OBJECT
  public:
    // style: kAlignRight, kAlignCenter, kSunken.
    Label(QWidget* parent, Dialog* owner, int id, const std::string& caption, unsigned style = 0);

    QWidget* Widget() override { return this; }
    std::string GetText() const override;
    void SetText(const std::string& text) override;
};

// A picture from the icon provider (see icons.h); its text is empty.
class IconLabel : public QLabel, public Control {
    Q_OBJECT
  public:
    IconLabel(QWidget* parent, Dialog* owner, int id, int iconId);

    QWidget* Widget() override { return this; }
    std::string GetText() const override { return {}; }
    void SetText(const std::string&) override {}
    int IconId() const { return iconId_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Refresh();
    int iconId_;
};

// Frame with a caption. Controls inside it are its siblings, as on the platform; the frame lets
// every mouse event through to them.
class GroupBox : public QGroupBox, public Control {
    Q_OBJECT
  public:
    GroupBox(QWidget* parent, Dialog* owner, int id, const std::string& caption);

    QWidget* Widget() override { return this; }
    std::string GetText() const override;
    void SetText(const std::string& text) override;

  protected:
    // Drawn as on the platform: the frame line runs through the middle of the caption, so the
    // template's positions inside the frame stay clear of it.
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace fw
