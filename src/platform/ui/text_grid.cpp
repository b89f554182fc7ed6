// The text grid: cells, column widths, the selected cell and hit testing.
#include "platform/ui/text_grid.h"

#include <algorithm>

namespace roarmark::platform::ui {

TTextGrid::TTextGrid(TWinControl* parent, std::string name)
    : TControl(parent, std::move(name)),
      col_widths_(static_cast<std::size_t>(col_count_), default_col_width_),
      cells_(static_cast<std::size_t>(col_count_ * row_count_)) {
  SetColour(clWindow);
  SetTabStop(true);
  Attach();
}

void TTextGrid::SetSize(int cols, int rows) {
  cols = std::max(cols, 0);
  rows = std::max(rows, 0);
  std::vector<std::string> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
  for (int r = 0; r < std::min(rows, row_count_); ++r) {
    for (int c = 0; c < std::min(cols, col_count_); ++c)
      cells[static_cast<std::size_t>(r * cols + c)] =
          std::move(cells_[static_cast<std::size_t>(r * col_count_ + c)]);
  }
  cells_ = std::move(cells);
  col_widths_.resize(static_cast<std::size_t>(cols), default_col_width_);
  col_count_ = cols;
  row_count_ = rows;
  col_ = std::min(col_, std::max(cols - 1, 0));
  row_ = std::min(row_, std::max(rows - 1, 0));
  Changed(TProperty::Cells);
}

void TTextGrid::SetFixedCols(int n) {
  fixed_cols_ = std::clamp(n, 0, col_count_);
  col_ = std::max(col_, fixed_cols_);
  Changed(TProperty::Cells);
}

void TTextGrid::SetFixedRows(int n) {
  fixed_rows_ = std::clamp(n, 0, row_count_);
  row_ = std::max(row_, fixed_rows_);
  Changed(TProperty::Cells);
}

std::string TTextGrid::Cell(int col, int row) const {
  if (col < 0 || col >= col_count_ || row < 0 || row >= row_count_) return std::string();
  return cells_[static_cast<std::size_t>(row * col_count_ + col)];
}

void TTextGrid::SetCell(int col, int row, std::string text) {
  if (col < 0 || col >= col_count_ || row < 0 || row >= row_count_) return;
  cells_[static_cast<std::size_t>(row * col_count_ + col)] = std::move(text);
  Changed(TProperty::Cells);
}

int TTextGrid::ColWidth(int col) const {
  if (col < 0 || col >= col_count_) return 0;
  return col_widths_[static_cast<std::size_t>(col)];
}

void TTextGrid::SetColWidth(int col, int width) {
  if (col < 0 || col >= col_count_) return;
  col_widths_[static_cast<std::size_t>(col)] = std::max(width, 0);
  Changed(TProperty::ColWidths);
}

void TTextGrid::SetRowHeight(int height) {
  row_height_ = std::max(height, 0);
  Changed(TProperty::ColWidths);
}

void TTextGrid::SetCol(int col) {
  if (col < fixed_cols_ || col >= col_count_ || col == col_) return;
  col_ = col;
  Changed(TProperty::Selection);
}

void TTextGrid::SetRow(int row) {
  if (row < fixed_rows_ || row >= row_count_ || row == row_) return;
  row_ = row;
  Changed(TProperty::Selection);
}

// A grid line belongs to the cell before it.
void TTextGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = -1;
  row = -1;
  if (x >= 0) {
    int right = 0;
    for (int c = 0; c < col_count_; ++c) {
      right += ColWidth(c) + grid_line_width_;
      if (x < right) {
        col = c;
        break;
      }
    }
  }
  if (y >= 0 && row_height_ + grid_line_width_ > 0) {
    int r = y / (row_height_ + grid_line_width_);
    if (r < row_count_) row = r;
  }
}

TRect TTextGrid::CellRect(int col, int row) const {
  int left = 0;
  for (int c = 0; c < col; ++c)
    left += ColWidth(c) + grid_line_width_;
  return RectOfSize(left, row * (row_height_ + grid_line_width_), ColWidth(col), row_height_);
}

void TTextGrid::PressAction(TMouseButton button, int x, int y) {
  if (button != TMouseButton::mbLeft) return;
  int col = -1;
  int row = -1;
  MouseToCell(x, y, col, row);
  if (col < fixed_cols_ || row < fixed_rows_) return;
  if (col == col_ && row == row_) return;
  col_ = col;
  row_ = row;
  Changed(TProperty::Selection);
}

bool TTextGrid::UserClickCell(int col, int row) {
  if (col < 0 || col >= col_count_ || row < 0 || row >= row_count_) return false;
  TRect cell = CellRect(col, row);
  return UserClick(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2);
}

bool TTextGrid::UserDblClickCell(int col, int row) {
  if (col < 0 || col >= col_count_ || row < 0 || row >= row_count_) return false;
  TRect cell = CellRect(col, row);
  return UserDblClick(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2);
}

}  // namespace roarmark::platform::ui
