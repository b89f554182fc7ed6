// Reading a show log and writing its report picture as PNG beside it.
#include <fstream>
#include <sstream>

#include "display/pictures/png_writer.h"
#include "measure/show_report.h"

namespace roarmark {

std::string WriteShowReport(const std::string& log_path, platform::IFonts* fonts) {
  std::ifstream in(log_path, std::ios::binary);
  if (!in) return "cannot read " + log_path;
  std::stringstream text;
  text << in.rdbuf();
  const std::vector<TLogRow> rows = ParseLog(text.str());
  if (rows.empty()) return log_path + " holds no rows of a show log";
  const std::size_t cut = log_path.find_last_of("/\\:");
  const std::string name = cut == std::string::npos ? log_path : log_path.substr(cut + 1);
  const std::string png = ReportPath(log_path);
  if (!WritePng(png, DrawShowReport(rows, name, fonts))) return "cannot write " + png;
  return {};
}

}  // namespace roarmark
