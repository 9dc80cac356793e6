// The simple controls: properties held here, mirrored by the backend's peer.
#include <algorithm>

#include "toolkit/backend.h"
#include "toolkit/toolkit.h"

namespace toolkit {

Control::Control(Form& form, const ControlLayout& layout)
    : form_(form),
      name_(layout.name),
      kind_(layout.kind),
      tabOrder_(layout.tabOrder),
      fontHeight_(layout.fontHeight),
      bounds_(layout.bounds),
      caption_(layout.caption),
      visible_(layout.visible),
      enabled_(layout.enabled),
      tag_(0) {}

Control::~Control() = default;

void Control::attachPeer(std::unique_ptr<ControlPeer> peer) { peer_ = std::move(peer); }

void Control::changed(Property property) {
  if (peer_) peer_->changed(property);
}

void Control::setBounds(const Bounds& value) {
  if (bounds_ == value) return;
  bounds_ = value;
  changed(Property::Bounds);
}

void Control::setLeft(int value) { setBounds({value, bounds_.top, bounds_.width, bounds_.height}); }
void Control::setTop(int value) { setBounds({bounds_.left, value, bounds_.width, bounds_.height}); }
void Control::setWidth(int value) { setBounds({bounds_.left, bounds_.top, value, bounds_.height}); }
void Control::setHeight(int value) { setBounds({bounds_.left, bounds_.top, bounds_.width, value}); }

void Control::setCaption(const std::string& value) {
  if (caption_ == value) return;
  caption_ = value;
  changed(Property::Caption);
}

void Control::setVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  changed(Property::Visible);
}

void Control::setEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  changed(Property::Enabled);
}

void Button::click() {
  if (enabled() && visible() && onClick) onClick();
}

Edit::Edit(Form& form, const ControlLayout& layout) : Control(form, layout), maxLength_(layout.maxLength) {}

void Edit::setText(const std::string& value) {
  unrepresentable_ = false;
  setCaption(value);
}

void Edit::userSetText(const std::string& value) {
  unrepresentable_ = false;
  userSetCaption(value);
}

void Edit::userSetUnrepresentableText() {
  unrepresentable_ = true;
  userSetCaption(std::string());
}

RadioButton::RadioButton(Form& form, const ControlLayout& layout) : Control(form, layout), checked_(layout.checked) {}

void RadioButton::setChecked(bool value) {
  if (value) uncheckOthers();
  if (checked_ == value) return;
  checked_ = value;
  changed(Property::Checked);
}

void RadioButton::userSetChecked(bool value) {
  checked_ = value;
  if (value) uncheckOthers();
}

void RadioButton::uncheckOthers() {
  for (const auto& control : form().controls()) {
    auto* other = dynamic_cast<RadioButton*>(control.get());
    if (other && other != this) other->setChecked(false);
  }
}

void RadioButton::click() {
  if (enabled() && visible()) setChecked(true);
}

void ProgressBar::setPosition(int value) {
  value = std::clamp(value, 0, 100);
  if (position_ == value) return;
  position_ = value;
  changed(Property::Position);
}

Timer::Timer(Form& form, const ControlLayout& layout) : Control(form, layout), interval_(layout.interval) {}

void Timer::tick() {
  if (enabled() && onTimer) onTimer();
}

}  // namespace toolkit
