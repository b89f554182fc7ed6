// A grid of text cells with fixed (header) columns and whole-row selection.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace roarmark::platform::ui {

// Cells are addressed (column, row). Column c spans ColWidth(c) pixels plus one grid line; no
// scrolling. A press on a non-fixed cell selects it before OnMouseDown runs.
class TTextGrid : public TControl {
 public:
  TTextGrid(TWinControl* parent, std::string name);
  const char* KindName() const override { return "TTextGrid"; }
  bool AcceptsFocus() const override { return true; }

  int ColCount() const { return col_count_; }
  int RowCount() const { return row_count_; }
  void SetSize(int cols, int rows);
  int FixedCols() const { return fixed_cols_; }
  void SetFixedCols(int n);
  int FixedRows() const { return fixed_rows_; }
  void SetFixedRows(int n);

  // Empty text for a cell outside the grid; writes outside are ignored.
  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int DefaultColWidth() const { return default_col_width_; }
  int RowHeight() const { return row_height_; }
  void SetRowHeight(int height);
  int GridLineWidth() const { return grid_line_width_; }

  int Col() const { return col_; }
  int Row() const { return row_; }
  void SetCol(int col);
  void SetRow(int row);

  // The cell under client point (x, y), or -1 for a column or row beyond the cells.
  void MouseToCell(int x, int y, int& col, int& row) const;
  // The cell's rectangle in client pixels (grid line excluded).
  TRect CellRect(int col, int row) const;

  // A left click or a double click in the middle of a cell.
  bool UserClickCell(int col, int row);
  bool UserDblClickCell(int col, int row);

 protected:
  void PressAction(TMouseButton button, int x, int y) override;

 private:
  int col_count_ = 5;
  int row_count_ = 5;
  int fixed_cols_ = 1;
  int fixed_rows_ = 1;
  int default_col_width_ = 64;
  int row_height_ = 24;
  int grid_line_width_ = 1;
  int col_ = 1;
  int row_ = 1;
  std::vector<int> col_widths_;
  std::vector<std::string> cells_;  // row-major, col_count_ per row
};

}  // namespace roarmark::platform::ui
