#pragma once
// The main window's font. The window was drawn for MS Sans Serif 8.25 pt;
// where that face is missing, the first available look-alike is taken and
// its size stepped down until every caption fits the room the window gives
// it.

#include "bracket/tournament_choices.h"

#include <QComboBox>
#include <QFont>
#include <QList>
#include <QString>

#include <vector>

namespace zandrel {

// A text the window shows, and the width it has for it in twips.
struct Caption {
    QString text;
    double roomTwips;
};

// The font at which every caption fits its room.
QFont fittedFont(const QList<Caption> &captions);

// The room a pick-only list gives the entry it shows: the field its style
// leaves beside the arrow, less a pixel on each side.
double listEntryRoom(const QComboBox *list);

// Every entry a list may show, each in the room the list gives it: any may
// be chosen, so every one must fit.
template <typename Value>
void addListEntries(QList<Caption> &captions, const QComboBox *list, const std::vector<Choice<Value>> &choices)
{
    for (const Choice<Value> &choice : choices)
        captions.append({QString::fromStdString(choice.text), listEntryRoom(list)});
}

// The style sheet that draws the frames as the window was drawn and gives
// every widget under it `font`.
QString frameStyleSheet(const QFont &font);

}  // namespace zandrel
