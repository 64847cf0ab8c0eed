#pragma once
// Where the main window's controls stand. Positions are kept in twips, as the
// window was designed (15 twips to a logical pixel), and only rounded when they
// become pixels, in twipsToPixels, so fractional places such as 613.33 survive
// every step of the arithmetic.

namespace zandrel::layout {

inline constexpr double TwipsPerPixel = 15.0;

int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// --- Where the controls stand as the window was designed: each control's
// left, top, width and height in the client area (the frames' controls in
// their frame). The window places its controls here, and the layout rule
// below moves them from here; neither spells a size out again.
struct Place {
    double left, top, width, height;
};

namespace design {
inline constexpr double ClientWidth = 8280;
inline constexpr double ClientHeight = 6870;
inline constexpr Place TopLine{-120, 0, 1215, 30};
inline constexpr Place OptionsFrame{713, 120, 6855, 2055};
inline constexpr Place TitleLabel{840, 270, 1335, 255};
inline constexpr Place TitleEdit{2280, 240, 2655, 285};
inline constexpr Place SizeLabel{840, 675, 1335, 255};
inline constexpr Place SizeList{2280, 630, 735, 315};
inline constexpr Place TypeLabel{840, 1140, 1335, 255};
inline constexpr Place TypeList{2280, 1110, 2655, 315};
inline constexpr Place SeedingLabel{1485, 1590, 735, 255};
inline constexpr Place SeedingList{2280, 1590, 2655, 315};
inline constexpr Place MakeBracketButton{3533, 2255, 1215, 375};
inline constexpr Place NamesFrame{713, 2640, 6855, 3255};
inline constexpr Place PrivacyLink{3600, 6000, 1095, 255};
inline constexpr Place AboutLink{7680, 0, 615, 255};
}  // namespace design

// --- The name grid: a box per possible entrant, in 4 columns of 8, inside the names frame.
inline constexpr float NameBoxWidth = 1335.0f;
inline constexpr float NameBoxHeight = 285.0f;
inline constexpr float NameColumnSpacing = 1440.0f;

// Left of box 1 for a tournament of `size` entrants; `current` is kept for
// sizes the list never offers.
float firstNameBoxLeft(int size, float current);
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

WindowLayout windowLayout(double outerWidth, double outerHeight);

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
