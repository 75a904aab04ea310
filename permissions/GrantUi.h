#pragma once
// What the two grant dialogs share: their frames, buttons, note and the grant mark.
#include <QColor>
#include <QString>

#include <initializer_list>

class FlexGrid;
class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace GrantUi {
inline const QColor kMarked(0, 0, 255);     // the "授权" cell of a granted row
inline const QColor kUnmarked(255, 255, 255);
// The subsystem code column: 300 twips elided "GL" in the 12-point heading's grid on this platform.
constexpr int kIdWidth = 450;

struct Controls {
    QGroupBox* Frame1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    QLabel* lblsm = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};

// Builds the frames, grids, note and buttons; `rightExtra` (the tree) goes into Frame2
// before the right grid. The dialog lays them out.
Controls build(QDialog* dialog, QWidget* rightExtra);
// Sets a grid's columns from a format string with widths in twips, a 400-twip heading in 12 points.
void setupGrid(FlexGrid* grid, const QString& format, std::initializer_list<int> widths);
// Keeps a grid (and so its frame) as wide as its columns.
void fitWidth(FlexGrid* grid);
// Paints column 0 of every row white.
void clearMarks(FlexGrid* grid);
bool isMarked(const FlexGrid* grid, int row);
}
