#include "launcher/mform.h"

#include "core/sjis.h"
#include "footprint/game_files.h"
#include "footprint/install_path_check.h"
#include "footprint/installed_state.h"
#include "footprint/safe_removal.h"
#include "forms/layouts.h"
#include "install/destination.h"
#include "install/instform.h"
#include "launcher/install_recovery.h"
#include "launcher/read_installer_config.h"
#include "texts.h"
#include "uninstall/uninsform.h"

namespace {

constexpr char kPictureFile[] = "install.bmp";

// The only existence test the menu makes: the file opens for reading.
bool fileOpens(platform::Platform& platform, const std::string& path) {
  return platform.openStream(path, platform::OpenMode::Read) != nullptr;
}

void setGeometry(toolkit::Control& control, const ButtonLayout& layout) {
  control.setBounds({layout.left, layout.top, layout.width, layout.height});
}

}  // namespace

Tmform::Tmform(toolkit::Application& application, AppContext& context)
    : toolkit::Form(application, mformLayout),
      instimage(&control<toolkit::Image>("instimage")),
      runbtn(&control<toolkit::Button>("runbtn")),
      instbtn(&control<toolkit::Button>("instbtn")),
      closebtn(&control<toolkit::Button>("closebtn")),
      etc1btn(&control<toolkit::Button>("etc1btn")),
      etc2btn(&control<toolkit::Button>("etc2btn")),
      ctx_(context) {
  onCreate = [this] { FormCreate(); };
  onClose = [this] { FormClose(); };
  runbtn->onClick = [this] { runbtnClick(); };
  instbtn->onClick = [this] { instbtnClick(); };
  closebtn->onClick = [this] { closebtnClick(); };
  etc1btn->onClick = [this] { etc1btnClick(); };
  etc2btn->onClick = [this] { etc2btnClick(); };
}

void Tmform::closebtnClick() { close(); }

void Tmform::FormCreate() {
  platform::Platform& platform = ctx_.platform;
  ctx_.plan.createLists(ctx_.platform);

  ReadInstallerConfig(ctx_);
  const InstallerConfig& config = ctx_.config;
  // Before the installed state is read: a run ended part-way may have got
  // as far as its registration.
  recoveryEndsRun(ctx_, false);

  setClientWidth(config.clientWidth);
  setClientHeight(config.clientHeight);
  // The client size, not the window's outer size, is centred; int division
  // truncates toward zero, so a window wider than the screen gets a
  // negative Left halved toward zero.
  platform::ScreenSize screen = platform.screenSize();
  setLeft((screen.width - config.clientWidth) / 2);
  setTop((screen.height - config.clientHeight) / 2);
  setCaption(config.title + texts::kMenuCaptionSuffix);

  instimage->setLeft(config.imageLeft);
  instimage->setTop(config.imageTop);
  // A file that opens but holds no loadable bitmap is hidden like a missing
  // one, rather than leaving an empty control over the buttons.
  if (!fileOpens(platform, kPictureFile) || !instimage->loadPicture(kPictureFile)) instimage->setVisible(false);

  detectInstalledState();
  lookUpDefaultRoot();

  setGeometry(*runbtn, config.buttons[kRunButtonIndex]);
  setGeometry(*instbtn, config.buttons[kInstallButtonIndex]);
  setGeometry(*closebtn, config.buttons[kCloseButtonIndex]);
  // The extra buttons keep the layout's empty caption: the configured
  // caption is not shown.
  toolkit::Button* extras[] = {etc1btn, etc2btn};
  for (int i = 0; i < 2; ++i) {
    const ButtonLayout& layout = config.buttons[kExtra1ButtonIndex + i];
    if (layout.visible == 0) continue;
    extras[i]->setVisible(true);
    setGeometry(*extras[i], layout);
  }
}

void Tmform::runbtnClick() {
  const std::string& installPath = ctx_.config.InstallPath;
  // PATH is the player's to change, by any program of theirs: an elevated
  // menu starts only a game folder's origin.exe, never one behind a link.
  if (!isRemovableInstallPath(installPath, ctx_.config.gameFolder, ctx_.platform)) {
    tell(texts::kDestinationUnsafe);
  } else if (isLink(ctx_.platform, installPath)) {
    tell(std::string(texts::kLinkedInstallFolder) + "\n" + installPath);
  } else {
    std::string program = joinPath(installPath, kGameProgram);
    // Unquoted: the program path passed alongside makes spaces harmless.
    std::string commandLine = program + " " + kLaunchArgument;
    platform::StartFailure failure = platform::StartFailure::None;
    if (!ctx_.platform.createProcess(program, commandLine, platform::kCreateNewConsole, installPath, &failure)) {
      tellIfOnlyElevated(failure);
    }
  }
  close();
}

void Tmform::instbtnClick() {
  if (instbtn->tag() == 0) {
    const InstallerConfig& config = ctx_.config;
    Tinstform& instform = application().form<Tinstform>();
    instform.dirpath->setText(proposedDestination(config));
    instform.instlabel->setCaption(formatWith(texts::kInstallLabelFormat, config.gameFolder));
    hide();
    if (instform.showModal() == 1) showInstalledState(true);
    show();
  } else {
    hide();
    if (application().form<Tuninsform>().showModal() == 1) showInstalledState(false);
    show();
  }
}

void Tmform::FormClose() {
  ctx_.plan.ExtraCopyList.reset();
  ctx_.plan.PreserveList.reset();
  ctx_.plan.CopyPlan.reset();
  ctx_.plan.CreatedDirs.reset();
}

void Tmform::etc1btnClick() { openExtraItem(ctx_.config.extra1File); }

void Tmform::etc2btnClick() { openExtraItem(ctx_.config.extra2File); }

void Tmform::openExtraItem(const std::string& file) {
  platform::StartFailure failure = platform::StartFailure::None;
  if (!ctx_.platform.shellOpen(file, &failure)) tellIfOnlyElevated(failure);
}

void Tmform::tell(const std::string& text) {
  ctx_.platform.messageBox(handle(), text, texts::kConfirmCaption, platform::kMbOk);
}

void Tmform::tellIfOnlyElevated(platform::StartFailure failure) {
  // Any other failure passes in silence, as it always has.
  if (failure == platform::StartFailure::OnlyElevated) tell(texts::kCannotStartAsPlayer);
}

void Tmform::detectInstalledState() {
  if (detectInstalledGame(ctx_)) showInstalledState(true);
}

void Tmform::lookUpDefaultRoot() { ::lookUpDefaultRoot(ctx_); }

void Tmform::showInstalledState(bool installed) {
  instbtn->setTag(installed ? 1 : 0);
  instbtn->setCaption(installed ? texts::kUninstall : texts::kInstall);
  runbtn->setEnabled(installed);
}
