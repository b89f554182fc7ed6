// Device names cut the way the device list cuts them.
#include "platform/qt/device_names.h"

#include <QList>

namespace roarmark::platform::qt {

namespace {

constexpr int kMaxNameChars = 31;

}  // namespace

std::string ShortDeviceName(const QString& description) {
  QList<uint> chars = description.toUcs4();
  qsizetype n = 0;
  while (n < chars.size() && n < kMaxNameChars && chars[n] != 0)
    ++n;
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), n)
      .toUtf8()
      .toStdString();
}

std::string ShortDeviceName(std::string_view utf8_description) {
  return ShortDeviceName(
      QString::fromUtf8(utf8_description.data(), static_cast<qsizetype>(utf8_description.size())));
}

}  // namespace roarmark::platform::qt
