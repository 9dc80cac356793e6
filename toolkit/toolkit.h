#pragma once
// The small form toolkit: forms and controls that hold their properties and
// event handlers, laid out from data (see toolkit/layout.h and forms/). A
// backend chosen at link time gives them a face: `win32` (real windows) or
// `headless` (no windows; tests script the user, see headless/script.h).
// All text is Shift-JIS.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/layout.h"

namespace platform {
class Platform;
}

namespace toolkit {

class Application;
class Backend;
class Form;
class FormPeer;
class ControlPeer;
class DriveList;

// The toolkit's base exception: one that escapes the application is shown
// with Application::showException.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What changed on a control or form, so that a backend can mirror it.
enum class Property { Bounds, Caption, Visible, Enabled, Checked, Position, Timer, Items, Owner, SessionEnd, Posted };

class Control {
 public:
  Control(Form& form, const ControlLayout& layout);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  Form& form() const { return form_; }
  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  int tabOrder() const { return tabOrder_; }
  int fontHeight() const { return fontHeight_; }  // 0: the form's font

  const Bounds& bounds() const { return bounds_; }
  int left() const { return bounds_.left; }
  int top() const { return bounds_.top; }
  int width() const { return bounds_.width; }
  int height() const { return bounds_.height; }
  void setLeft(int value);
  void setTop(int value);
  void setWidth(int value);
  void setHeight(int value);
  void setBounds(const Bounds& value);

  // The caption of buttons, labels and radio buttons; the text of an edit.
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& value);

  bool visible() const { return visible_; }
  void setVisible(bool value);
  bool enabled() const { return enabled_; }
  void setEnabled(bool value);
  int tag() const { return tag_; }
  void setTag(int value) { tag_ = value; }

  ControlPeer* peer() const { return peer_.get(); }
  void attachPeer(std::unique_ptr<ControlPeer> peer);

  // Backends report what the user changed through these, without echoing
  // the change back to the peer.
  void userSetCaption(const std::string& value) { caption_ = value; }

 protected:
  void changed(Property property);
  // Called each time the control's form goes from hidden to shown, before
  // its onShow.
  virtual void formShowing() {}

 private:
  friend class Form;
  Form& form_;
  std::string name_;
  ControlKind kind_;
  int tabOrder_;
  int fontHeight_;
  Bounds bounds_;
  std::string caption_;
  bool visible_;
  bool enabled_;
  int tag_;
  std::unique_ptr<ControlPeer> peer_;
};

class Button : public Control {
 public:
  using Control::Control;
  std::function<void()> onClick;
  // What a click by the user does: nothing while disabled or hidden.
  void click();
};

class Label : public Control {
 public:
  using Control::Control;
};

class Edit : public Control {
 public:
  Edit(Form& form, const ControlLayout& layout);
  const std::string& text() const { return caption(); }
  void setText(const std::string& value);
  int maxLength() const { return maxLength_; }  // bytes the user may type; 0: no limit
  // True while the user's text holds a character without a Shift-JIS form:
  // text() is then empty, and the edit still shows what was typed.
  bool textUnrepresentable() const { return unrepresentable_; }
  // Backends report the user's text through these, without echo.
  void userSetText(const std::string& value);
  void userSetUnrepresentableText();

 private:
  int maxLength_;
  bool unrepresentable_ = false;
};

// Radio buttons of one form form one group: checking one unchecks the rest.
class RadioButton : public Control {
 public:
  RadioButton(Form& form, const ControlLayout& layout);
  bool checked() const { return checked_; }
  void setChecked(bool value);
  // What a click by the user does: checks this button.
  void click();
  // The user checked or unchecked it; checking unchecks the rest of the
  // group, whose peers are told.
  void userSetChecked(bool value);

 private:
  void uncheckOthers();
  bool checked_;
};

class ProgressBar : public Control {
 public:
  using Control::Control;
  int position() const { return position_; }
  void setPosition(int value);  // clamped to 0..100

 private:
  int position_ = 0;
};

class Image : public Control {
 public:
  Image(Form& form, const ControlLayout& layout);
  bool autoSize() const { return autoSize_; }
  // Loads a Windows bitmap file; with AutoSize the image takes the
  // picture's size. False, changing nothing, when the file does not hold a
  // bitmap or the backend cannot decode it.
  bool loadPicture(const std::string& path);
  const std::string& picturePath() const { return picturePath_; }

 private:
  bool autoSize_;
  std::string picturePath_;
};

// A timer; Enabled starts and stops it. It has no window of its own.
class Timer : public Control {
 public:
  Timer(Form& form, const ControlLayout& layout);
  unsigned interval() const { return interval_; }
  std::function<void()> onTimer;
  // One tick: runs onTimer when the timer is enabled.
  void tick();

 private:
  unsigned interval_;
};

// A list of the current folder's ancestors and subfolders. Its folder is
// the process's current directory: setting it changes that directory, and
// the list reads the folder back from there.
class FolderList : public Control {
 public:
  FolderList(Form& form, const ControlLayout& layout);
  int itemHeight() const { return itemHeight_; }  // 0: the backend's choice
  // Empty when the current directory's name has no Shift-JIS form.
  const std::string& folder() const { return folder_; }
  // Returns false, changing nothing, when the folder cannot be entered.
  bool setFolder(const std::string& path);
  // The lines shown: the drive root, each ancestor, the folder itself, then
  // its subfolders; the full path each line opens.
  const std::vector<std::string>& items() const { return itemPaths_; }
  // Depth of each line for indentation (0 for the root).
  const std::vector<int>& itemDepths() const { return itemDepths_; }
  int currentItem() const { return currentItem_; }
  // What a double-click or Enter on a line does: opens that folder.
  void open(int index);
  // Reads the folder back from the current directory.
  void refresh();

 private:
  friend class DriveList;
  int itemHeight_;
  DriveList* driveList_ = nullptr;
  std::string folder_;
  std::vector<std::string> itemPaths_;
  std::vector<int> itemDepths_;
  int currentItem_ = -1;
};

// A drop-down of drive letters, shown in upper case; choosing one moves the
// linked folder list to the root of that drive. The letters are read from
// the backend when the list is created and each time its form is shown.
class DriveList : public Control {
 public:
  DriveList(Form& form, const ControlLayout& layout);
  // Links the folder list both ways and follows its drive.
  void link(FolderList* list);
  FolderList* folderList() const { return folderList_; }
  char drive() const { return drive_; }  // 0 while the folder has no drive letter
  const std::string& drives() const { return drives_; }
  void setDrives(const std::string& letters);
  void refreshDrives();
  // What choosing a drive does. When the drive's root cannot be entered
  // (a drive that is not ready) the list stays on the folder list's drive.
  void choose(char letter);
  // Follows the folder list's drive without moving the list.
  void follow(char letter);

 protected:
  void formShowing() override { refreshDrives(); }

 private:
  FolderList* folderList_ = nullptr;
  std::string drives_;
  char drive_ = 0;
};

class Form {
 public:
  Form(Application& application, const FormLayout& layout);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  Application& application() const { return application_; }
  const FormLayout& layout() const { return layout_; }
  const std::string& name() const { return name_; }

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& value);
  int left() const { return left_; }
  int top() const { return top_; }
  void setLeft(int value);
  void setTop(int value);
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  void setClientWidth(int value);
  void setClientHeight(int value);

  bool visible() const { return visible_; }
  // Shows the form; runs onShow each time it goes from hidden to shown,
  // before the window appears (a show handler that ends its own dialog
  // never shows it). Once the application ends (a quit message, the end of
  // the session), no form shows again.
  void show();
  void hide();
  // In a modal showing: sets the modal result to 2 (cancel), which ends it.
  // Otherwise runs onClose and hides the form; closing the main form ends
  // the application. The main form refuses while another form is shown
  // modally: the dialog above it still uses what the main form holds.
  void close();

  // Shows the form modally and runs a nested message loop until its modal
  // result is set non-zero; returns that result. Each showing starts at 0.
  // A showing that the end of the application cuts short (a quit message,
  // the end of the session) runs onAbandon and returns 0.
  int showModal();
  int modalResult() const { return modalResult_; }
  void setModalResult(int value) { modalResult_ = value; }
  bool inModalShowing() const { return modalDepth_ > 0; }
  // The form in front when this one was last shown modally
  // (Application::frontForm), null when none was visible. The window system
  // keeps an owned form above its owner and gives only the owner a taskbar
  // button.
  Form* owner() const { return owner_; }

  // While a reason is set, the form refuses to let the session end
  // (shutdown, sign-out) and gives the system that reason to show; an empty
  // reason lets it end.
  void setSessionEndRefusal(const std::string& reason);
  const std::string& sessionEndRefusal() const { return sessionEndRefusal_; }

  // The window handle that owns this form's message boxes.
  uintptr_t handle() const;

  // Runs `call` once from a message the form posts to itself: after the
  // form has been shown and drawn and what waited before has been served.
  // A show handler thus lets the form appear before long work. Dropped when
  // the form is hidden by then.
  void post(std::function<void()> call);
  // Backends: runs the oldest posted call (or drops it, see post); false
  // when none waits.
  bool runPostedCall();

  // Backends report where the user or the window system put the form
  // through these, without echoing the change back to the peer.
  void userSetPosition(int left, int top) {
    left_ = left;
    top_ = top;
  }
  void userSetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
  }

  std::function<void()> onCreate;
  std::function<void()> onShow;
  std::function<void()> onClose;
  // Runs once when the application ends under this form's modal showing
  // without the form's word: a quit message ends the showing, or the
  // session ends and the process with it. The form puts away what it
  // holds; nothing may wait for the user any more.
  std::function<void()> onAbandon;

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* findControl(const std::string& name) const;
  // The button that Escape presses (the layout's cancel button); null when
  // the form has none.
  Button* cancelButton() const;
  // The label that names a control to accessibility tools: the one just
  // before it in the layout, as Windows names a standard control by the
  // label before it; null when the control before it is not a label.
  const Label* labelOf(const Control& control) const;
  // The form whose monitor a centred form is placed on: its owner, else the
  // main form (hidden while its dialogs run, still on its monitor), else
  // the form itself.
  const Form& placementAnchor() const;
  // The control of that name and class; throws toolkit::Exception when the
  // layout has no such control.
  template <class T>
  T& control(const std::string& name) const {
    T* typed = dynamic_cast<T*>(findControl(name));
    if (!typed) throw Exception("form " + name_ + " has no control " + name + " of that kind");
    return *typed;
  }

  FormPeer* peer() const { return peer_.get(); }

 private:
  friend class Application;
  void changed(Property property);
  void abandon();

  Application& application_;
  const FormLayout& layout_;
  std::string name_;
  std::string caption_;
  int left_;
  int top_;
  int clientWidth_;
  int clientHeight_;
  bool visible_ = false;
  int modalResult_ = 0;
  int modalDepth_ = 0;
  bool abandoned_ = false;  // onAbandon ran in this showing
  Form* owner_ = nullptr;
  std::string sessionEndRefusal_;
  std::vector<std::function<void()>> posted_;  // oldest first
  std::unique_ptr<FormPeer> peer_;
  std::vector<std::unique_ptr<Control>> controls_;
};

class Application {
 public:
  explicit Application(platform::Platform& platform);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  // Destroys the forms in reverse order of creation.
  ~Application();

  platform::Platform& platform() const { return platform_; }
  Backend& backend() const { return *backend_; }

  // Prepares the backend; runs once, and forms call it when they are built.
  void initialize();
  // Creates a form (T's constructor takes the application first), then runs
  // its onCreate. The first form created is the main form.
  template <class T, class... Args>
  T& createForm(Args&&... args) {
    auto form = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& created = *form;
    adopt(std::move(form));
    return created;
  }
  Form* mainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }
  const std::vector<std::unique_ptr<Form>>& forms() const { return forms_; }
  // The first form created of type T: the code that knows a form's type
  // reaches it here, through the application that holds it. A missing one
  // is a fault of the program, not of the player's input.
  template <class T>
  T& form() const {
    for (const auto& created : forms_) {
      if (auto* found = dynamic_cast<T*>(created.get())) return *found;
    }
    throw std::logic_error("no such form was created");
  }

  // Runs the message loop until the main form closes.
  void run();
  void terminate() { terminated_ = true; }
  bool terminated() const { return terminated_; }
  // A quit message ended a modal showing and is on its way to the loops
  // outside, which end as it reaches them.
  void quitting() { quitting_ = true; }
  // Terminated, or about to be: no form shows any more.
  bool ending() const { return terminated_ || quitting_; }
  // The innermost form shown modally; null when none is.
  Form* modalForm() const { return modalForms_.empty() ? nullptr : modalForms_.back(); }
  // The form the player sees in front: the innermost modal showing that is
  // visible, else the main form when it is visible; null when none is.
  Form* frontForm() const;
  // The session ends now (shutdown, sign-out) and the process with it:
  // every form shown modally is abandoned, innermost first, and the
  // application terminates. Runs once.
  void endSession();
  // The standard display of an exception that escaped an event handler: a
  // message box owned by the form in front (else the main form), caption
  // "install", so that the form is disabled while the box is open. Both
  // backends call it for every std::exception that leaves a handler and go
  // on serving events (the headless backend lets its own ScriptError
  // through to the test that runs the script).
  void showException(const std::exception& error);

 private:
  void adopt(std::unique_ptr<Form> form);

  friend class Form;
  platform::Platform& platform_;
  std::unique_ptr<Backend> backend_;
  std::vector<std::unique_ptr<Form>> forms_;
  std::vector<Form*> modalForms_;  // outermost first
  bool initialized_ = false;
  bool terminated_ = false;
  bool quitting_ = false;
  bool sessionEnded_ = false;
};

}  // namespace toolkit
