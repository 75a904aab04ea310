#pragma once
// Forms place and size their controls in twips (1440 per inch), so a form keeps its proportions
// on any screen; the screen's logical DPI converts them to pixels.
namespace Twips {
int toPxX(int twips);
int toPxY(int twips);
int fromPxX(int px);
int fromPxY(int px);
}
