#pragma once
// The main window's font. The window was drawn for MS Sans Serif 8.25 pt;
// where that face is missing, the first available look-alike is taken and
// its size stepped down until every caption fits the room the window gives
// it.

#include "app/layout.h"
#include "bracket/tournament_choices.h"

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

// The room a pick-only list placed at `list` gives the entry it shows: the
// field the application's style leaves beside the arrow, less a pixel on
// each side.
double listEntryRoom(const layout::Place &list);

// Every entry a list may show, each in the room the list gives it: any may
// be chosen, so every one must fit.
template <typename Value>
void addListEntries(QList<Caption> &captions, const layout::Place &list, const std::vector<Choice<Value>> &choices)
{
    const double room = listEntryRoom(list);
    for (const Choice<Value> &choice : choices)
        captions.append({QString::fromStdString(choice.text), room});
}

}  // namespace zandrel
