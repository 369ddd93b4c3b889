#include "framework/up_down.h"

#include <QToolButton>
#include <algorithm>

namespace fw {
namespace {

// The platform's default range runs from 100 (top) to 0 (bottom).
constexpr int kTop = 100;
constexpr int kBottom = 0;

}  // namespace

UpDown::UpDown(QWidget* parent, Dialog* owner, int id, unsigned)
    : QWidget(parent),
      Control(owner, id),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAutoRepeat(true);
        arrow->setAutoRaise(false);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { Request(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { Request(+1); });
}

UpDown::~UpDown() {
    QObject::disconnect(up_, nullptr, this, nullptr);
    QObject::disconnect(down_, nullptr, this, nullptr);
}

void UpDown::SetPos(int pos) {
    pos_ = std::clamp(pos, kBottom, kTop);
}

void UpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDown::Request(int delta) {
    Notification notification;
    notification.code = Notify::DeltaPos;
    notification.delta = delta;
    Report(notification);
    // A nonzero result refuses the change.
    if (notification.result == 0) {
        // Upper arrow moves toward the top of the range (larger values) on the platform's default
        // range, whose position grows upwards while the requested delta is negative.
        SetPos(pos_ - delta);
    }
}

}  // namespace fw
