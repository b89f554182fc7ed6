// Message boxes and the standard dialogs on Qt Widgets.
#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/qt/qt_services.h"

namespace roarmark::platform::qt {

QString MessageText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(u'\r', u'\n');
  return s;
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.simplified());
  }
  return filters.join(QStringLiteral(";;"));
}

namespace {

// Dialogs open above the active window, which may be a stay-on-top display.
QWidget* DialogParent() {
  return QApplication::activeWindow();
}

}  // namespace

MessageAnswer TQtDialogs::MessageBox(const std::string& caption, const std::string& text,
                                     MessageButtons buttons) {
  QMessageBox box(DialogParent());
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(MessageText(text));
  box.setTextFormat(Qt::PlainText);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (buttons == MessageButtons::OkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
  const int answer = box.exec();
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return answer == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

std::optional<std::uint32_t> TQtDialogs::ColourDialog(std::uint32_t initial) {
  const QColor chosen = QColorDialog::getColor(ToQColor(initial), DialogParent());
  if (!chosen.isValid()) return std::nullopt;
  return ToSettingsColour(chosen);
}

// Qt's font dialog has no colour: the colour comes back as it went in.
std::optional<TFontChoice> TQtDialogs::FontDialog(const TFontChoice& initial) {
  QFont font(QString::fromStdString(initial.Name));
  if (initial.Size > 0) font.setPointSize(initial.Size);
  font.setBold(initial.Style & 1);
  font.setItalic(initial.Style & 2);
  font.setUnderline(initial.Style & 4);
  font.setStrikeOut(initial.Style & 8);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font, DialogParent());
  if (!ok) return std::nullopt;
  TFontChoice result;
  result.Name = chosen.family().toStdString();
  result.Size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.Size;
  result.Style = (chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) |
                 (chosen.underline() ? 4 : 0) | (chosen.strikeOut() ? 8 : 0);
  result.Colour = initial.Colour;
  return result;
}

std::optional<std::string> TQtDialogs::FileDialog(const TFileDialogRequest& request, bool save) {
  QFileDialog dialog(DialogParent(), QString::fromStdString(request.Title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QString filter = QtFileFilter(request.Filter);
  if (!filter.isEmpty()) dialog.setNameFilter(filter);
  if (!request.DefaultExt.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
  QString dir = QString::fromStdString(request.InitialDir);
  const QFileInfo name(QString::fromStdString(request.FileName));
  if (dir.isEmpty() && !request.FileName.empty() && name.isAbsolute()) dir = name.absolutePath();
  if (!dir.isEmpty()) dialog.setDirectory(dir);
  if (!request.FileName.empty()) dialog.selectFile(name.fileName());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(files.first()).toStdString();
}

std::optional<std::string> TQtDialogs::OpenFileDialog(const TFileDialogRequest& request) {
  return FileDialog(request, false);
}

std::optional<std::string> TQtDialogs::SaveFileDialog(const TFileDialogRequest& request) {
  return FileDialog(request, true);
}

std::string TQtDialogs::InputBox(const std::string& title, const std::string& prompt,
                                 const std::string& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(DialogParent(), QString::fromStdString(title),
                                             QString::fromStdString(prompt), QLineEdit::Normal,
                                             QString::fromStdString(initial), &ok);
  return ok ? text.toStdString() : initial;
}

}  // namespace roarmark::platform::qt
