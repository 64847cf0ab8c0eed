#pragma once
// Where the main window's controls stand. Positions are kept in twips, as the
// window was designed (15 twips to a logical pixel), and only rounded when they
// become pixels, in twipsToPixels, so fractional places such as 613.33 survive
// every step of the arithmetic.

namespace zandrel::layout {

inline constexpr double TwipsPerPixel = 15.0;

int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// --- The name grid: a box per possible entrant, in 4 columns of 8, inside the name frame.
inline constexpr float NameFrameWidth = 6855.0f;
inline constexpr float NameBoxWidth = 1335.0f;
inline constexpr float NameBoxHeight = 285.0f;
inline constexpr float NameColumnSpacing = 1440.0f;

// Left of box 1 for a tournament of `size` entrants; `current` is kept for
// sizes the list never offers.
float firstNameBoxLeft(int size, float current, float frameWidth = NameFrameWidth,
                       float boxWidth = NameBoxWidth);
// Left of box `box` (1 to 32) when box 1 stands at `firstLeft`.
float nameBoxLeft(int box, float firstLeft);
// Top of box `box` (1 to 32); tops never change.
float nameBoxTop(int box);
// Left of box `box` as the window was designed, before any size was chosen.
float designNameBoxLeft(int box);

// --- The layout rule, run after every size change of the window. W and H are
// the window's outer width and height in twips.
struct WindowLayout {
    double makeBracketLeft, makeBracketTop;
    double namesFrameLeft, namesFrameTop;
    double optionsFrameLeft, optionsFrameTop;
    double aboutLinkLeft, aboutLinkTop;
    double privacyLinkLeft, privacyLinkTop;
    double topLineWidth;
};

struct ControlSizes {
    double makeBracketWidth = 1215, makeBracketHeight = 375;
    double namesFrameWidth = 6855, namesFrameHeight = 3255;
    double optionsFrameWidth = 6855;
    double aboutLinkWidth = 615;
    double privacyLinkWidth = 1095;
};

WindowLayout windowLayout(double outerWidth, double outerHeight, const ControlSizes &sizes = {});

// --- The window's outer size limits in pixels, frame included.
inline constexpr int MinOuterWidth = 470;
inline constexpr int MinOuterHeight = 425;
inline constexpr int MaxOuterWidth = 1000;
inline constexpr int MaxOuterHeight = 1000;

// --- Placing one window centred over another (outer rectangles, any unit).
struct Point {
    double x, y;
};
Point centreOver(double ownerLeft, double ownerTop, double ownerWidth, double ownerHeight,
                 double width, double height);

// The main window centred on the screen's free area, except that its
// top-left corner, with the menu bar and the title to drag it by, never
// leaves that area, however small the screen.
Point centreWithin(double areaLeft, double areaTop, double areaWidth, double areaHeight, double width,
                   double height);

}  // namespace zandrel::layout
