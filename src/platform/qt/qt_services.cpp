// Monitors, shell, screen capture, locale and system colours on Qt.
#include "platform/qt/qt_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QMargins>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <array>

#include "platform/qt/qt_randr_monitors.h"

namespace roarmark::platform::qt {

QColor ToQColor(std::uint32_t c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

std::uint32_t ToSettingsColour(const QColor& colour) {
  return static_cast<std::uint32_t>(colour.red()) |
         (static_cast<std::uint32_t>(colour.green()) << 8) |
         (static_cast<std::uint32_t>(colour.blue()) << 16);
}

namespace {

TRect ToRect(const QRect& r) {
  return RectOfSize(r.x(), r.y(), r.width(), r.height());
}

// Qt keeps the old geometry of a monitor made of several outputs when one of them changes; the X
// server's is current. Its size is scaled as Qt scales its screens, which keep their top-left
// corner; the task bars stay as thick as Qt last saw them.
TMonitor ToMonitor(const QScreen& screen, const QHash<QString, QRect>& server, bool primary) {
  QRect bounds = screen.geometry();
  QRect work = screen.availableGeometry();
  const auto found = server.constFind(screen.name());
  if (found != server.cend()) {
    const QRect current(found->topLeft(), found->size() / screen.devicePixelRatio());
    work = current.marginsRemoved(QMargins(work.left() - bounds.left(), work.top() - bounds.top(),
                                           bounds.right() - work.right(),
                                           bounds.bottom() - work.bottom()));
    bounds = current;
  }
  return {ToRect(bounds), ToRect(work), primary};
}

}  // namespace

// ---- Monitors

std::vector<TMonitor> TQtMonitors::Monitors() {
  const QHash<QString, QRect> server = XServerMonitors();
  std::vector<TMonitor> monitors;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) monitors.push_back(ToMonitor(*primary, server, true));
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen == primary) continue;
    monitors.push_back(ToMonitor(*screen, server, false));
  }
  return monitors;
}

// ---- Shell

std::string TQtShell::CommonAppDataFolder() {
  const QStringList folders =
      QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
  if (folders.isEmpty()) return std::string();
  QString folder = QDir::cleanPath(folders.first());
  while (folder.size() > 1 && folder.endsWith(u'/'))
    folder.chop(1);
  return folder.toStdString();
}

// The Windows shell's answers: above 32 on success, a small error number otherwise.
int TQtShell::OpenDocument(const std::string& path) {
  const QString text = QString::fromStdString(path);
  const bool address =
      text.contains(QStringLiteral("://")) || text.startsWith(QStringLiteral("mailto:"));
  const QUrl url = address ? QUrl(text) : QUrl::fromLocalFile(text);
  if (!url.isValid()) return 2;
  if (!address && !QFileInfo::exists(text)) return 2;
  return QDesktopServices::openUrl(url) ? 33 : 2;
}

// ---- Screen capture

TPixels TQtScreenCapture::CaptureScreen(const TRect& area) {
  TPixels out;
  if (area.Width() <= 0 || area.Height() <= 0) return out;
  const QRect wanted(area.Left, area.Top, area.Width(), area.Height());
  QImage image(wanted.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QPainter painter(&image);
    for (QScreen* screen : QGuiApplication::screens()) {
      const QRect part = wanted.intersected(screen->geometry());
      if (part.isEmpty()) continue;
      const QRect local = part.translated(-screen->geometry().topLeft());
      QPixmap grabbed = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
      if (grabbed.isNull()) continue;
      // One picture pixel per screen pixel, whatever the scale factor.
      QImage pixels = grabbed.toImage().scaled(part.size()).convertToFormat(QImage::Format_RGB32);
      painter.drawImage(part.topLeft() - wanted.topLeft(), pixels);
    }
  }
  out.Width = image.width();
  out.Height = image.height();
  out.Pixels.resize(static_cast<std::size_t>(out.Width) * static_cast<std::size_t>(out.Height));
  for (int y = 0; y < out.Height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < out.Width; ++x)
      out.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.Width) +
                 static_cast<std::size_t>(x)] = row[x] | 0xFF000000u;
  }
  return out;
}

// ---- Locale

char TQtLocale::DecimalSeparator() const {
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 0x80) return static_cast<char>(point[0].unicode());
  return '.';
}

// ---- System colours

namespace {

struct TPaletteEntry {
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};

// Indices 0..30 as Windows numbers its system colours.
constexpr std::array<TPaletteEntry, 31> kSystemColourTable{{
    {QPalette::Active, QPalette::Mid},              // 0 scroll bar
    {QPalette::Active, QPalette::Dark},             // 1 desktop
    {QPalette::Active, QPalette::Highlight},        // 2 active caption
    {QPalette::Inactive, QPalette::Window},         // 3 inactive caption
    {QPalette::Active, QPalette::Window},           // 4 menu
    {QPalette::Active, QPalette::Base},             // 5 window
    {QPalette::Active, QPalette::Shadow},           // 6 window frame
    {QPalette::Active, QPalette::WindowText},       // 7 menu text
    {QPalette::Active, QPalette::Text},             // 8 window text
    {QPalette::Active, QPalette::HighlightedText},  // 9 caption text
    {QPalette::Active, QPalette::Window},           // 10 active border
    {QPalette::Inactive, QPalette::Window},         // 11 inactive border
    {QPalette::Active, QPalette::Dark},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},        // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},  // 14 highlighted text
    {QPalette::Active, QPalette::Button},           // 15 button face
    {QPalette::Active, QPalette::Dark},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},           // 17 grey text
    {QPalette::Active, QPalette::ButtonText},       // 18 button text
    {QPalette::Inactive, QPalette::WindowText},     // 19 inactive caption text
    {QPalette::Active, QPalette::Light},            // 20 button highlight
    {QPalette::Active, QPalette::Shadow},           // 21 3-D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 22 3-D light
    {QPalette::Active, QPalette::ToolTipText},      // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},      // 24 info background
    {QPalette::Active, QPalette::Button},           // 25 (unused)
    {QPalette::Active, QPalette::Link},             // 26 hot light
    {QPalette::Active, QPalette::Highlight},        // 27 active caption gradient
    {QPalette::Inactive, QPalette::Window},         // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},        // 29 menu highlight
    {QPalette::Active, QPalette::Window},           // 30 menu bar
}};

}  // namespace

std::uint32_t TQtSystemColours::SystemColour(int index) const {
  if (index < 0 || index >= static_cast<int>(kSystemColourTable.size())) return 0;
  const TPaletteEntry& entry = kSystemColourTable[static_cast<std::size_t>(index)];
  return ToSettingsColour(QGuiApplication::palette().color(entry.Group, entry.Role));
}

}  // namespace roarmark::platform::qt
