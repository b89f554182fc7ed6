// The desktop program: Roarmark on Qt.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/show_events.h"
#include "core/main_window.h"
#include "measure/show_report.h"
#include "platform/fontconfig/fontconfig_fonts.h"
#include "platform/qt/qt_keep_awake.h"
#include "platform/qt/qt_message_loop.h"
#include "platform/qt/qt_monitor_watch.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_single_instance.h"
#include "platform/qt/qt_ui_backend.h"
#include "platform/ui/form.h"

#ifndef ROARMARK_VERSION
#define ROARMARK_VERSION "unknown"
#endif

namespace {

constexpr char kUsage[] =
    "Usage: roarmark [--remote [ADDRESS:]PORT] | --help | --version | --report LOG.csv\n"
    "\n"
    "Roarmark shows how loud the room is: a bar or needle meter and a 0..100 readout over\n"
    "your own picture, full screen on a projector if you like. It listens to the input named\n"
    "in its settings (the desktop's default microphone when none is named) through the\n"
    "PulseAudio or PipeWire sound server. Everything else is set in the program itself\n"
    "(right-click the display or press Ctrl+S) and kept in\n"
    "$XDG_DATA_HOME/Quillmoor/Roarmark/ (~/.local/share/Quillmoor/Roarmark/).\n"
    "\n"
    "Keys on the display: Ctrl+S setup, Ctrl+R reset the peak, Space blank, Ctrl+D design\n"
    "mode, Ctrl+1..Ctrl+0 presets, F1 help, Ctrl+X quit, Escape quit after asking.\n"
    "\n"
    "  --remote [ADDRESS:]PORT  turn on the remote control and live feed on PORT, on this\n"
    "             machine only (127.0.0.1) unless ADDRESS is given; beyond it the \"[Remote]\"\n"
    "             section's PIN is needed. http://ADDRESS:PORT/remote is the phone remote,\n"
    "             /overlay the meter for streaming software\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "  --report LOG.csv\n"
    "             draw the report of a show log (level over time, LAeq per quarter hour,\n"
    "             the limit, the gaps, a summary) as LOG.png beside it and exit\n";

// The command line answers questions and may turn the remote on; anything else is refused.
int AnswerCommandLine(int argc, char** argv, roarmark::TProgramOptions& options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--remote") == 0) {
      const auto endpoint =
          i + 1 < argc ? roarmark::ParseEndpoint(argv[i + 1], "127.0.0.1") : std::nullopt;
      if (!endpoint) {
        std::fprintf(stderr, "roarmark: --remote needs [ADDRESS:]PORT\n\n%s", kUsage);
        return 2;
      }
      options.Remote = endpoint;
      ++i;
      continue;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("roarmark %s\n", ROARMARK_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--report") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "roarmark: --report needs a show log\n\n%s", kUsage);
        return 2;
      }
      roarmark::platform::TFontconfigFonts fonts;
      const std::string error = roarmark::WriteShowReport(argv[i + 1], &fonts);
      if (!error.empty()) {
        std::fprintf(stderr, "roarmark: %s\n", error.c_str());
        return 1;
      }
      std::printf("%s\n", roarmark::ReportPath(argv[i + 1]).c_str());
      return 0;
    }
    if (argv[i][0] == '-') {
      std::fprintf(stderr, "roarmark: unknown option %s\n\n%s", argv[i], kUsage);
      return 2;
    }
  }
  return -1;
}

// The window icon, the same picture as the installed roarmark.svg, drawn here so that it needs
// no image plugin: a meter column with lit blocks and a peak mark between scale ticks.
QIcon RoarmarkIcon() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1d, 0x23, 0x30));
  p.drawRoundedRect(2, 2, 60, 60, 8, 8);
  p.setBrush(QColor(0x00, 0x26, 0x26));
  p.drawRoundedRect(22, 8, 20, 48, 2, 2);
  const struct {
    int Top;
    QColor Colour;
  } blocks[] = {{47, QColor(0x20, 0x60, 0xff)},
                {39, QColor(0x4a, 0x7a, 0xf0)},
                {31, QColor(0x9a, 0x70, 0xb0)},
                {23, QColor(0xe0, 0x40, 0x50)},
                {15, QColor(0x00, 0x38, 0x38)}};
  for (const auto& block : blocks)
    p.fillRect(25, block.Top, 14, 6, block.Colour);
  p.fillRect(25, 11, 14, 2, QColor(0xff, 0xd0, 0x40));
  for (int y : {14, 26, 38, 50}) {
    p.fillRect(8, y - 1, 8, 2, QColor(0x88, 0x99, 0xaa));
    p.fillRect(48, y - 1, 8, 2, QColor(0x88, 0x99, 0xaa));
  }
  return QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
  roarmark::TProgramOptions options;
  options.Network = true;
  if (const int answered = AnswerCommandLine(argc, argv, options); answered >= 0) return answered;
  // On Wayland a client may neither choose its monitor nor stay on top, so the program goes
  // through XWayland unless told otherwise (or there is no X server to go to).
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Roarmark"));
  QApplication::setApplicationVersion(QStringLiteral(ROARMARK_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("roarmark"));
  QApplication::setWindowIcon(RoarmarkIcon());
  // The program ends when its main window closes, not when Qt sees no window left.
  QApplication::setQuitOnLastWindowClosed(false);
  roarmark::platform::qt::TQtPlatform platform;
  roarmark::TRoarmarkProgram program(platform.Platform(), options);
  // Two programs on one data folder would be two stay-on-top windows over each other, each
  // saving its own settings: a second start brings the first to the front and ends.
  const std::string folder = roarmark::ProgramDataFolder(platform.Platform());
  roarmark::platform::qt::TQtSingleInstance instance(
      QDir::cleanPath(QString::fromStdString(folder) + QStringLiteral("/../Roarmark.lock")));
  if (!instance.Claim(
          [&] { platform.Platform().MessageLoop->Post([&program] { program.BringToFront(); }); })) {
    program.Events().Write("a second start brought the running program to the front");
    return 0;
  }
  program.Start();
  program.Events().Write(std::string("display server: ") +
                         QGuiApplication::platformName().toStdString());
  roarmark::platform::qt::WatchMonitors(&application, [&program] { program.MonitorsChanged(); });
  roarmark::platform::qt::TQtKeepAwake awake;
  awake.Hold();
  // Once the window manager has framed the main window, its client area is known for real and
  // the display is laid out again for it (as a message of its own, not inside a Qt event).
  platform.Ui().OnFrameChanged = [&](roarmark::platform::ui::TForm& form) {
    roarmark::TForm1* main = program.MainWindow();
    if (main == nullptr || &form != main) return;
    platform.Platform().MessageLoop->Post([&program] {
      if (roarmark::TForm1* again = program.MainWindow()) again->RelayoutDisplay();
    });
  };
  return program.Run();
}
