// A build without a PNG writer cannot write the report; it says so.
#include "measure/show_report.h"

namespace roarmark {

std::string WriteShowReport(const std::string&, platform::IFonts*) {
  return "this build of Roarmark cannot write PNG pictures, so it writes no report";
}

}  // namespace roarmark
