#pragma once
// The documents give sizes in twips (1440 per inch); the screen's logical DPI converts them.
namespace Twips {
int toPxX(int twips);
int toPxY(int twips);
int fromPxX(int px);
int fromPxY(int px);
}
