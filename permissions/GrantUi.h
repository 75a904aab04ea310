#pragma once
// Grid helpers of the two grant dialogs: the grant mark, the columns and the keyboard.
#include <QColor>
#include <QString>

#include <functional>
#include <initializer_list>

class FlexGrid;
class QObject;

namespace GrantUi {
inline const QColor kMarked(0, 0, 255);     // the "授权" cell of a granted row
inline const QColor kUnmarked(255, 255, 255);
// The subsystem code column: 300 twips elided "GL" in the 12-point heading's grid on this platform.
constexpr int kIdWidth = 450;

// Sets a grid's columns from a format string with widths in twips, a 400-twip heading in 12 points.
void setupGrid(FlexGrid* grid, const QString& format, std::initializer_list<int> widths);
// Keeps a grid (and so its frame) as wide as its columns.
void fitWidth(FlexGrid* grid);
// Paints column 0 of every row white.
void clearMarks(FlexGrid* grid);
bool isMarked(const FlexGrid* grid, int row);
// Space or Enter on `grid` does what a double-click does, for those who work with the keyboard.
void onActivateKeys(FlexGrid* grid, QObject* context, const std::function<void()>& doubleClick);
}
