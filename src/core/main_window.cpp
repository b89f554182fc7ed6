// The main display window: start-up, picture and layout, the buffer cycle's glue, keys, close.
#include "core/main_window.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "core/device_selection.h"
#include "core/input_loss_dialog.h"
#include "display/colour_ramp.h"
#include "display/contest_board.h"
#include "display/drawn_record.h"
#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "display/pictures/default_picture.h"
#include "display/pictures/jpeg_reader.h"
#include "display/pictures/picture_scaling.h"
#include "display/pictures/png_reader.h"
#include "display/readout.h"
#include "platform/file_path.h"
#include "platform/path_separator.h"
#include "settings/ini_store.h"
#include "settings/paths.h"
#include "settings/preset_list.h"

namespace roarmark {

using namespace platform::ui;
namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsJpegName(const std::string& path) {
  const std::string upper = Upper(path);
  if (upper.find(".JPG") != std::string::npos) return true;
  // Other JPEG extensions the picture loader recognises.
  const std::string name = Upper(FileNamePart(path));
  for (const char* ext : {".JPEG", ".JPE", ".JFIF"}) {
    const std::string e = ext;
    if (name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0) {
      return true;
    }
  }
  return false;
}

bool IsPngName(const std::string& path) {
  const std::string name = Upper(FileNamePart(path));
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".PNG") == 0;
}

}  // namespace

std::string StartupCalibration(const std::string& stored) {
  return stored.empty() ? " 0" : stored;
}
std::string StartupDecay(const std::string& stored) {
  return stored.empty() ? "2" : stored;
}

std::string FindFileIgnoringCase(const std::string& path) {
  if (FileExists(path)) return path;
  std::error_code ec;
  const fs::path p = platform::FilePath(path);
  const std::string wanted = Upper(platform::PathText(p.filename()));
  for (const auto& entry : fs::directory_iterator(p.parent_path(), ec)) {
    if (entry.is_regular_file(ec) && Upper(platform::PathText(entry.path().filename())) == wanted) {
      return platform::PathText(entry.path());
    }
  }
  return path;
}

// --- Creation -----------------------------------------------------------------------------------

TForm1::TForm1(TApplication& app, const platform::TPlatform& platform)
    : TForm(app, "TForm1"),
      Readout(this, "Readout"),
      Image1(this, "Image1"),
      MeterDisplay(Display, Settings, State),
      platform_(platform) {
  SetCaption(kProgramTitle);
  SetBounds(200, 200, 516, 439);
  Image1.SetBounds(0, 0, 500, 400);
  Readout.SetBounds(0, 0, 301, 21);
  Readout.SetReadOnly(true);
  Readout.SetTabStop(false);
  Display.DisplayBitmap.SetMemory(platform_.ShownPixels);
  Display.Fonts = platform_.Fonts;
  Display.SystemColours = platform_.SystemColours;
  Display.DecimalSeparator = platform_.Locale ? platform_.Locale->DecimalSeparator() : '.';

  OnShow = [this] { FormShow(); };
  OnActivate = [this] { FormActivate(); };
  OnCloseQuery = [this](bool& can_close) { FormCloseQuery(can_close); };
  OnClose = [this](TCloseAction& action) { FormClose(action); };
  OnKeyUp = [this](int& key, TShiftState shift) { KeyReleased(key, shift, false); };
  OnDblClick = [this] { ResetPeakCommand(); };
  Image1.OnKeyUp = [this](int& key, TShiftState shift) { KeyReleased(key, shift, true); };
  Image1.OnDblClick = [this] { ResetPeakCommand(); };
  Image1.OnMouseDown = [this](TMouseButton button, TShiftState, int x, int y) {
    DesignMouseDown(button, x, y);
  };
  Image1.OnMouseMove = [this](TShiftState, int x, int y) { DesignMouseMove(x, y); };
  Image1.OnMouseUp = [this](TMouseButton, TShiftState, int, int) { DesignMouseUp(); };
  Image1.OnMouseWheel = [this](int step, TShiftState, int, int) { DesignWheel(step); };
  Readout.OnClick = [this] { SetActiveControl(nullptr); };
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  // 1. Display objects and the preset list exist as members.
  // 2. Data folder.
  const char sep = platform::kPathSeparator;
  DataFolder = GetCommonDataFolder() + sep + "Quillmoor" + sep + "Roarmark" + sep;
  const bool first_start = !DataFolderExists();
  // 3. Engine state.
  State = TMeterState{};
  // 4-5. Preset list and settings.
  LoadStoredSettings();

  // 6-7. Input device.
  platform::IWaveInput& wave = *platform_.WaveInput;
  WaitForDeviceList();
  if (wave.DeviceCount() <= 0) FatalEnd(kCaptionRoarmarkErrorNoBlank, NoDeviceText());
  // Only a start that goes on lays out a fresh data folder, then takes its settings.
  if (first_start) {
    if (FirstStart) FirstStart(*this);
    LoadStoredSettings();
  }
  int device = 0;
  if (!Settings.DeviceName.empty()) {
    device = FindInputDevice(wave, Settings.DeviceName,
                             [this] { FatalEnd(kCaptionRoarmarkErrorNoBlank, NoDeviceText()); });
    if (device < 0) {
      ShowMessage(kCaptionRoarmarkErrorNoBlank, DeviceNotFoundText(Settings.DeviceName));
      device = 0;
    }
  }

  // 8-9.
  Settings.Calibration = StartupCalibration(Settings.Calibration);
  Settings.Decay = StartupDecay(Settings.Decay);
  SetCaption(Settings.ShortName);

  // 10. Place and style the window.
  const platform::TMonitor monitor = ChosenMonitor();
  SetBounds(Left(), Top(), monitor.Bounds.Width(), monitor.Bounds.Height());
  if (Settings.OnTop) SetStayOnTop(true);
  Image1.SetScaleMode(Settings.FitScreen ? TScaleMode::smStretch : TScaleMode::smNormal);
  if (Settings.FullScreen) {
    SetBorderStyle(TBorderStyle::bsNone);
    SetStayOnTop(true);
  }
  SetBounds(Settings.WindowLeft, Settings.WindowTop, Width(), Height());

  // 11-12. A stored decay that is not an integer falls back as the buffer cycle does.
  std::int32_t k = 0;
  State.DecayStep =
      TryParseInt(Settings.Decay, k)
          ? static_cast<std::int32_t>(std::clamp<std::int64_t>(5LL * k, INT32_MIN, INT32_MAX))
          : 2;
  State.Position = 0;

  // 13-15. Picture, layout, readout control, backings.
  LoadBackground(Settings.GraphicFilename);
  Readout.SetBounds(Settings.ReadoutX, Settings.ReadoutY, Readout.Width(), Readout.Height());
  SaveBackings(Display, Settings);

  // 16. Capture.
  TCaptureSession::THooks hooks;
  hooks.NormaliseTopmost = [this] { NormaliseTopmost(); };
  hooks.RestoreTopmost = [this] { RestoreTopmost(); };
  hooks.ProcessBlock = [this](const std::uint8_t* block) { ProcessCaptureBlock(block); };
  hooks.ResetConfiguredDevice = [this] { ResetConfiguredDevice(); };
  hooks.ShowMessage = [this](const std::string& c, const std::string& t) { ShowMessage(c, t); };
  hooks.Fatal = [this](const std::string& c, const std::string& t) { FatalEnd(c, t); };
  hooks.EndNow = [this] { EndNow(); };
  hooks.RecoverInput = [this] { RecoverInput(); };
  Capture = std::make_unique<TCaptureSession>(*platform_.WaveInput, *platform_.MessageLoop,
                                              std::move(hooks));
  Capture->DeviceId = device;
  Capture->OpenCapture();
  if (InputEvent) InputEvent({TInputEvent::TKind::Chosen, DeviceListName(wave, device), 0});

  // 17.
  BuildLevelTable(Table);
}

void TForm1::WaitForDeviceList() {
  // A start at login can come before the sound system has listed its devices: while it is
  // still listing, the configured device (or any, with none configured) is given time to
  // appear, with the messages pumped so that nothing blocks.
  platform::IWaveInput& wave = *platform_.WaveInput;
  const auto listed = [&] {
    const int n = wave.DeviceCount();
    if (n <= 0) return false;
    if (Settings.DeviceName.empty()) return true;
    for (int i = 0; i < n; ++i) {
      if (DeviceListName(wave, i) == Settings.DeviceName) return true;
    }
    return false;
  };
  while (wave.StillListing() && !listed()) {
    App().ProcessMessages();
    platform_.MessageLoop->Sleep(50);
  }
}

bool TForm1::DataFolderExists() const {
  std::error_code ec;
  return fs::exists(platform::FilePath(DataFolder), ec);
}

void TForm1::LoadStoredSettings() {
  std::string refused;
  PresetList = LoadPresetList(DataFolder, &refused);
  if (!refused.empty()) ShowMessage(kCaptionRoarmarkError, refused);
  TIniLoadContext ctx;
  ctx.DataFolder = DataFolder;
  ctx.MonitorCount = static_cast<int>(platform_.Monitors->Monitors().size());
  ctx.ImageWidth = Image1.Width();
  ctx.ImageHeight = Image1.Height();
  ctx.ReadoutControlWidth = Readout.Width();
  refused.clear();
  LoadIniSettings(Settings, ctx, &refused);
  if (!refused.empty()) ShowMessage(kCaptionRoarmarkError, refused);
  ApplyReadoutFont(Display, Settings);
  Readout.SetWidth(ReadoutWidth(Display, Settings));
  Readout.SetVisible(Settings.ShowReadout && !Settings.Transparent);
  BuildColourRamp(Display, Settings);
}

std::string TForm1::GetCommonDataFolder() {
  std::string folder = platform_.Shell->CommonAppDataFolder();
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
    folder.pop_back();
  return folder;
}

// --- Show, activate, close ----------------------------------------------------------------------

void TForm1::FormShow() {
  const platform::TMonitor monitor = ChosenMonitor();
  SetTop(monitor.Bounds.Top);
  SetLeft(monitor.Bounds.Left);
  Image1.SetFocus();  // the display's keys arrive on the image (path A) from the start
}

void TForm1::FormActivate() {
  if (Setup == nullptr) return;
  Setup->ShowStoredTexts(Settings.Calibration, Settings.Decay);
}

void TForm1::FormCloseQuery(bool& can_close) {
  can_close = true;
}

void TForm1::FormClose(TCloseAction&) {
  try {
    SaveWindowPosition(DataFolder, Left(), Top());
  } catch (const std::exception&) {
    ShowMessage(kCaptionRoarmarkError, "Unable to save settings to " + DataFolder + kIniFileName +
                                           ", closing program anyway.");
  }
  if (Capture) Capture->Stop();
}

void TForm1::SetTopmost(bool on) {
  if (TForm* form = App().FindFormByCaption(kProgramTitle)) form->SetStayOnTop(on);
}

void TForm1::NormaliseTopmost() {
  normalised_.clear();
  for (TForm* form : App().Forms()) {
    if (form->StayOnTop()) {
      normalised_.push_back(form);
      form->SetStayOnTop(false);
    }
  }
}

void TForm1::RestoreTopmost() {
  for (TForm* form : normalised_)
    form->SetStayOnTop(true);
  normalised_.clear();
}

// --- Boxes and ends -----------------------------------------------------------------------------

void TForm1::ShowMessage(const std::string& caption, const std::string& text) {
  platform_.Dialogs->MessageBox(caption, text, platform::MessageButtons::Ok);
}

void TForm1::FatalEnd(const std::string& caption, const std::string& text) {
  // The first fatal end wins: a second one (from a buffer handled behind the first box) ends
  // at once without another box.
  if (!ending_) {
    ending_ = true;
    ShowMessage(caption, text);
  }
  EndNow();
}

void TForm1::EndNow() {
  ending_ = true;
  platform_.MessageLoop->EndProcess(kFatalExitCode);
  std::abort();  // a platform's end of the process never returns
}

void TForm1::ResetConfiguredDevice() {
  NormaliseTopmost();
  ShowMessage(kCaptionBrackenfold, kDeviceResetText);
  RestoreTopmost();
  try {
    SaveEmptyDeviceName(DataFolder);
  } catch (const std::exception& error) {
    // The program ends next in any case; the operator learns that the name stays.
    App().ShowException(error);
  }
}

// --- Picture and layout -------------------------------------------------------------------------

platform::TMonitor TForm1::ChosenMonitor() {
  const std::vector<platform::TMonitor> monitors = platform_.Monitors->Monitors();
  if (monitors.empty()) return platform::TMonitor{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, true};
  const int n = Settings.Monitor;
  if (n < 1 || n > static_cast<int>(monitors.size())) return monitors.front();
  return monitors[static_cast<std::size_t>(n - 1)];
}

bool TForm1::DecodePicture(const std::string& path) {
  platform::TPixels pixels;
  TPictureSize source;
  bool ok = false;
  if (IsJpegName(path)) {
    ok = DecodeJpegFile(path, pixels, &source);
  } else if (IsPngName(path)) {
    ok = DecodePngFile(path, pixels);
    source = {pixels.Width, pixels.Height};
  } else {
    ok = DecodeBmpFile(path, pixels);
    source = {pixels.Width, pixels.Height};
  }
  if (!ok || !ReduceLoadedPicture(pixels, source)) return false;
  TBitmap32& bg = Display.BackgroundBitmap;
  if (!bg.SetSize(pixels.Width, pixels.Height)) return false;
  std::copy(pixels.Pixels.begin(), pixels.Pixels.end(), bg.Bits());
  return true;
}

void TForm1::LoadBackground(std::string path) {
  path = PortablePath(path, DataFolder);
  // The default picture answers to both spellings of its name, as on the file system it was
  // made for.
  if (path == FilesFolder(DataFolder) + "Graphic.bmp" ||
      path == FilesFolder(DataFolder) + "graphic.bmp") {
    path = FindFileIgnoringCase(path);
  }
  if (!FileExists(path)) {
    ShowMessage(kCaptionRoarmarkError, "Background image file not found -  \n\r" + path +
                                           "\n\rThe default image will be used.");
    path = FindFileIgnoringCase(FilesFolder(DataFolder) + "graphic.bmp");
    if (!FileExists(path)) {
      FatalEnd(kCaptionRoarmarkError,
               "Default image not found -  \n\r" + path + "\n\rThe program will close.");
    }
  }
  bool substituted = false;
  if (!DecodePicture(path)) {
    BackgroundLoadFailed(path);
    substituted = true;
    if (Display.BackgroundBitmap.Empty()) {
      // Not even the default picture could be read: show the built-in one rather than nothing.
      const platform::TPixels builtin = MakeDefaultPicture();
      Display.BackgroundBitmap.SetSize(builtin.Width, builtin.Height);
      std::copy(builtin.Pixels.begin(), builtin.Pixels.end(), Display.BackgroundBitmap.Bits());
    }
  }
  RelayoutDisplay();
  Settings.GraphicFilename =
      substituted ? FindFileIgnoringCase(FilesFolder(DataFolder) + "Graphic.bmp") : path;
}

void TForm1::BackgroundLoadFailed(const std::string& failed_path) {
  ShowMessage(kCaptionRoarmarkError,
              "Error in the background image file or file not found.\n\r\n\rThe default image will "
              "be used.");
  const std::string default_path = FindFileIgnoringCase(FilesFolder(DataFolder) + "Graphic.bmp");
  if (failed_path != default_path) {
    LoadBackground(default_path);
    Settings.GraphicFilename = default_path;
    SaveBackings(Display, Settings);
  }
}

void TForm1::RelayoutDisplay() {
  const platform::TMonitor monitor = ChosenMonitor();
  const TBitmap32& bg = Display.BackgroundBitmap;
  if (Settings.FitScreen) {
    SetBounds(Left(), Top(), monitor.WorkArea.Width(), monitor.WorkArea.Height());
  } else {
    SetClientSize(bg.Width(), bg.Height());
  }
  if (Settings.FullScreen) {
    SetBounds(Left(), Top(), Width(), monitor.Bounds.Height());
    SetBounds(Left(), Top(), monitor.Bounds.Width(), Height());
    Image1.SetBounds(0, 0, Width(), Height());
  } else {
    Image1.SetBounds(0, 0, ClientWidth(), ClientHeight());
  }
  TBitmap32& disp = Display.DisplayBitmap;
  disp.SetSize(bg.Width(), bg.Height());
  if (!bg.Empty()) disp.Draw(0, 0, bg);
  ApplyReadoutFont(Display, Settings);
  SaveBackings(Display, Settings);
  BuildColourRamp(Display, Settings);
  ResetPeak(State);
  ShowDisplay();
}

void TForm1::ShowDisplay() {
  Image1.SetImage(Display.DisplayBitmap.View());
  Image1.Changed();
}

// --- Engine glue --------------------------------------------------------------------------------

std::string TForm1::ReferenceText() const {
  return Setup ? Setup->ReferenceText() : Settings.Calibration;
}
void TForm1::SetReferenceColour(TColor colour) {
  if (Setup) Setup->SetReferenceColour(colour);
}
std::string TForm1::DecayText() const {
  return Setup ? Setup->DecayText() : Settings.Decay;
}
void TForm1::SetDecayColour(TColor colour) {
  if (Setup) Setup->SetDecayColour(colour);
}
void TForm1::SetHeadroomCaption(const std::string& caption) {
  if (Setup) Setup->SetHeadroomCaption(caption);
}

void TForm1::ProcessCaptureBlock(const std::uint8_t* block) {
  TLevelEngine engine{State,
                      Table,
                      Settings,
                      MeterDisplay,
                      *this,
                      [this] { return platform_.MessageLoop->TickCount(); },
                      Display.DecimalSeparator};
  // The ranking board covers the meter: the engine measures but draws nothing under it.
  const bool board = Contest != nullptr && Contest->View().Board;
  ProcessBuffer(engine, block, Dragging || board);
  if (AfterBuffer) AfterBuffer(block);
  if (Contest) Contest->BufferMeasured(State.Position);
  if (!Dragging) PresentDrawing();
  if (AfterDrawing) AfterDrawing();
}

void TForm1::PresentDrawing() {
  // The contest put the picture back over the meter: the readout returns with the next buffer.
  if (Contest != nullptr && DrawContest(Display, Settings, Contest->View())) ResetPeak(State);
  Image1.Changed(DrawnArea());
}

// The rectangles the renderers drew, each on its own: a bar at the bottom and a readout at the
// top of a full-screen picture are two small repaints, not most of the screen.
std::vector<platform::TRect> TForm1::DrawnArea() {
  return TakeDrawnAreas(Display);
}

void TForm1::RecoverInput() {
  // One wait at a time: buffers handed back while waiting are released without replacement.
  if (recovering_ || InputLoss == nullptr) return;
  recovering_ = true;
  if (Contest) {
    Contest->InputLost();
    PresentDrawing();
  }
  int counter = 0;
  const std::uint32_t lost_ms = platform_.MessageLoop->TickCount();
  if (InputEvent) InputEvent({TInputEvent::TKind::Lost, std::string(), 0});
  Capture->ResetDevice();
  SetTopmost(false);
  InputLoss->Show();
  int device = -1;
  do {
    App().ProcessMessages();
    if (App().Terminated()) {
      // The main window was closed during the wait: its close handler has saved the window
      // position; the program ends without reopening the device.
      recovering_ = false;
      return;
    }
    device = FindInputDevice(*platform_.WaveInput, Settings.DeviceName,
                             [this] { FatalEnd(kCaptionRoarmarkErrorNoBlank, NoDeviceText()); });
    ++counter;
    platform_.MessageLoop->Sleep(100);
    InputLoss->ProgressBar1.SetPosition(counter);
    if (counter > 100) counter = 0;
    // A device listed again may not take a recording yet (a flapping USB input, a driver
    // still settling): it is not back, and the next poll tries again.
    if (device != -1) {
      Capture->DeviceId = device;
      if (!Capture->TryOpenCapture()) device = -1;
    }
  } while (device == -1);
  SetTopmost(Settings.OnTop);
  InputLoss->Hide();
  recovering_ = false;
  if (InputEvent) {
    InputEvent({TInputEvent::TKind::Back, DeviceListName(*platform_.WaveInput, device),
                platform_.MessageLoop->TickCount() - lost_ms});
  }
}

void TForm1::ResetPeakCommand() {
  ResetPeak(State);
}

void TForm1::ToggleBlankCommand() {
  ToggleBlank(State, MeterDisplay);
  PresentDrawing();
}

}  // namespace roarmark
