// Turns one help text (Markdown) into a PDF document: help_pdf INPUT.md OUTPUT.pdf TITLE.
// Runs at build time without a screen (QT_QPA_PLATFORM=offscreen).
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: help_pdf INPUT.md OUTPUT.pdf TITLE\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  QFile input(QString::fromLocal8Bit(argv[1]));
  if (!input.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "help_pdf: cannot read %s\n", argv[1]);
    return 1;
  }
  const QString text = QString::fromUtf8(input.readAll());

  QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
  writer.setTitle(QString::fromUtf8(argv[3]));
  writer.setCreator(QStringLiteral("Roarmark"));
  writer.setResolution(300);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));

  QTextDocument document;
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(10.5);
  document.setDefaultFont(font);
  document.setDefaultStyleSheet(QStringLiteral("h1 { color: #b0006a; } h2 { color: #2a3a8a; }"));
  document.setMarkdown(text);
  document.print(&writer);
  return 0;
}
