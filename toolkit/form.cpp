// Forms: built from their layout, shown, hidden, closed and shown modally.
#include "toolkit/backend.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

std::unique_ptr<Control> createControl(Form& form, const ControlLayout& layout) {
  switch (layout.kind) {
    case ControlKind::Button: return std::make_unique<Button>(form, layout);
    case ControlKind::Label: return std::make_unique<Label>(form, layout);
    case ControlKind::Edit: return std::make_unique<Edit>(form, layout);
    case ControlKind::RadioButton: return std::make_unique<RadioButton>(form, layout);
    case ControlKind::ProgressBar: return std::make_unique<ProgressBar>(form, layout);
    case ControlKind::Image: return std::make_unique<Image>(form, layout);
    case ControlKind::Timer: return std::make_unique<Timer>(form, layout);
    case ControlKind::DriveList: return std::make_unique<DriveList>(form, layout);
    case ControlKind::FolderList: return std::make_unique<FolderList>(form, layout);
  }
  throw Exception(std::string("unknown kind of control ") + layout.name);
}

}  // namespace

Form::Form(Application& application, const FormLayout& layout)
    : application_(application),
      layout_(layout),
      name_(layout.name),
      caption_(layout.caption),
      left_(layout.bounds.left),
      top_(layout.bounds.top),
      clientWidth_(layout.bounds.width),
      clientHeight_(layout.bounds.height) {
  application.initialize();
  for (const ControlLayout& control : layout.controls) {
    if (findControl(control.name)) throw Exception("form " + name_ + " has two controls named " + control.name);
    controls_.push_back(createControl(*this, control));
  }
  for (const ControlLayout& control : layout.controls) {
    if (control.kind != ControlKind::DriveList || !*control.link) continue;
    this->control<DriveList>(control.name).link(&this->control<FolderList>(control.link));
  }
  // The peers see the finished form; a form peer may correct the client
  // size (a layout that gives the outer size).
  peer_ = application.backend().createFormPeer(*this);
  for (auto& control : controls_) control->attachPeer(peer_->createControlPeer(*control));
}

Form::~Form() = default;

Control* Form::findControl(const std::string& name) const {
  for (const auto& control : controls_) {
    if (control->name() == name) return control.get();
  }
  return nullptr;
}

Button* Form::cancelButton() const {
  for (const ControlLayout& control : layout_.controls) {
    if (control.cancel) return &this->control<Button>(control.name);
  }
  return nullptr;
}

const Label* Form::labelOf(const Control& control) const {
  for (size_t i = 1; i < controls_.size(); ++i) {
    if (controls_[i].get() == &control) return dynamic_cast<const Label*>(controls_[i - 1].get());
  }
  return nullptr;
}

const Form& Form::placementAnchor() const {
  if (owner_) return *owner_;
  const Form* main = application_.mainForm();
  return main ? *main : *this;
}

uintptr_t Form::handle() const { return peer_ ? peer_->handle() : 0; }

void Form::changed(Property property) {
  if (peer_) peer_->changed(property);
}

void Form::setCaption(const std::string& value) {
  if (caption_ == value) return;
  caption_ = value;
  changed(Property::Caption);
}

void Form::setLeft(int value) {
  left_ = value;
  changed(Property::Bounds);
}

void Form::setTop(int value) {
  top_ = value;
  changed(Property::Bounds);
}

void Form::setClientWidth(int value) {
  clientWidth_ = value;
  changed(Property::Bounds);
}

void Form::setClientHeight(int value) {
  clientHeight_ = value;
  changed(Property::Bounds);
}

void Form::show() {
  // After a quit or the session's end nothing may ask the player anything.
  if (visible_ || application_.ending()) return;
  visible_ = true;
  for (auto& control : controls_) control->formShowing();
  if (onShow) onShow();
  // The show handler may already have ended its own dialog and hidden it.
  if (visible_) changed(Property::Visible);
}

void Form::hide() {
  if (!visible_) return;
  visible_ = false;
  changed(Property::Visible);
}

void Form::post(std::function<void()> call) {
  posted_.push_back(std::move(call));
  changed(Property::Posted);
}

bool Form::runPostedCall() {
  if (posted_.empty()) return false;
  std::function<void()> call = std::move(posted_.front());
  posted_.erase(posted_.begin());
  if (visible_) call();
  return true;
}

void Form::setSessionEndRefusal(const std::string& reason) {
  if (sessionEndRefusal_ == reason) return;
  sessionEndRefusal_ = reason;
  changed(Property::SessionEnd);
}

void Form::close() {
  if (inModalShowing()) {
    modalResult_ = 2;
    return;
  }
  if (application_.mainForm() == this && application_.modalForm()) return;
  if (onClose) onClose();
  hide();
  if (application_.mainForm() == this) application_.terminate();
}

int Form::showModal() {
  if (inModalShowing()) throw Exception("form " + name_ + " is already shown modally");
  modalResult_ = 0;
  abandoned_ = false;
  Form* front = application_.frontForm();
  owner_ = front == this ? nullptr : front;
  changed(Property::Owner);
  ++modalDepth_;
  application_.modalForms_.push_back(this);
  struct EndShowing {
    Form& form;
    ~EndShowing() {
      form.hide();
      --form.modalDepth_;
      std::erase(form.application_.modalForms_, &form);
    }
  } endShowing{*this};
  show();
  if (modalResult_ == 0 && !application_.terminated()) application_.backend().runModalLoop(*this);
  // Only a quit message or the end of the application ends a showing
  // without a result.
  if (modalResult_ == 0) abandon();
  return modalResult_;
}

void Form::abandon() {
  if (abandoned_) return;
  abandoned_ = true;
  if (onAbandon) onAbandon();
}

}  // namespace toolkit
