#include "pages/page_layout.h"

#include "pages/page_plan.h"
#include "platform/tournament.h"
#include "templates/page_contract.h"

#include <stdexcept>
#include <string>

namespace zandrel {

namespace {

// The bracket as a tree of places. An entrant is a leaf: a seed's
// placeholder or a drop-in label, present or missing (a bye, or a loser of a
// match that is never played). A match joins two places in one column and
// sends its winner to its own place one column further right, on the row
// midway between the two. A match with only one entrant is not drawn: that
// entrant simply stands at the match's place, which is how a bye looks.
struct Place {
    int row = 0;
    int column = 0;
    int upper = -1;  // a match's two places; -1 for an entrant
    int lower = -1;
    int joinColumn = 0;      // where the joining line runs (a match)
    std::string label;       // printed beside the joining line (a match)
    bool present = false;    // an entrant that takes part
    std::string text;        // an entrant's placeholder or label
    CellText kind = CellText::None;
};

// What reaches a place: nothing, the winner of a drawn match (a bare line),
// or an entrant that still carries its own text.
struct Arrival {
    bool present = false;
    std::string text;
    CellText kind = CellText::None;
};

class Tree {
public:
    int entrant(int row, int column, bool present, std::string text, CellText kind)
    {
        Place place;
        place.row = row;
        place.column = column;
        place.present = present;
        place.text = std::move(text);
        place.kind = kind;
        m_places.push_back(std::move(place));
        return static_cast<int>(m_places.size()) - 1;
    }

    int match(int upper, int lower, int joinColumn, std::string label)
    {
        const Place &a = m_places[static_cast<size_t>(upper)];
        const Place &b = m_places[static_cast<size_t>(lower)];
        if (a.row >= b.row || (a.row + b.row) % 2 != 0)
            throw std::logic_error("a match needs two slots with a midway row, upper first");
        Place place;
        place.row = (a.row + b.row) / 2;
        place.column = joinColumn + 1;
        place.upper = upper;
        place.lower = lower;
        place.joinColumn = joinColumn;
        place.label = std::move(label);
        m_places.push_back(std::move(place));
        return static_cast<int>(m_places.size()) - 1;
    }

    const Place &operator[](int id) const { return m_places[static_cast<size_t>(id)]; }

    // Draws everything that feeds `id` and tells what arrives there.
    Arrival draw(int id, PageGrid &grid) const
    {
        const Place &place = (*this)[id];
        if (place.upper < 0)
            return {place.present, place.text, place.kind};
        const Arrival upper = draw(place.upper, grid);
        const Arrival lower = draw(place.lower, grid);
        if (!upper.present || !lower.present)
            return upper.present ? upper : lower;
        drawSlot(place.upper, upper, place.joinColumn, grid);
        drawSlot(place.lower, lower, place.joinColumn, grid);
        for (int row = (*this)[place.upper].row + 1; row <= (*this)[place.lower].row; ++row)
            grid.drawLineRight(row, place.joinColumn);
        if (!place.label.empty())
            grid.setText(place.row, place.joinColumn, place.label, CellText::MatchLabel);
        return {true, {}, CellText::None};
    }

    // The line of a place, running right up to `toColumn` where a join
    // starts, with the arriving entrant's text standing on it.
    void drawSlot(int id, const Arrival &arrival, int toColumn, PageGrid &grid) const
    {
        const Place &place = (*this)[id];
        for (int column = place.column; column <= toColumn; ++column)
            grid.drawLineBelow(place.row, column);
        if (!arrival.text.empty())
            grid.setText(place.row, place.column, arrival.text, arrival.kind);
    }

    // Draws the tree whose last match is `root`, including the root's own line.
    void drawAll(int root, PageGrid &grid) const
    {
        drawSlot(root, draw(root, grid), (*this)[root].column, grid);
    }

private:
    std::vector<Place> m_places;
};

// Seeds on the family's first-round rows; labels when double.
int addWinners(Tree &tree, const PagePlan &plan, int firstRow, int step, int firstColumn)
{
    std::vector<int> level;
    for (int position = 0; position < plan.bracketSize(); ++position) {
        const int seed = plan.seedAt(position);
        level.push_back(tree.entrant(firstRow + position * step, firstColumn,
                                     plan.seedPresent(position),
                                     PageContract::placeholder(seed), CellText::Name));
    }
    int column = firstColumn;
    for (int round = 1; level.size() > 1; ++round, ++column) {
        std::vector<int> next;
        for (size_t i = 0; i + 1 < level.size(); i += 2)
            next.push_back(tree.match(level[i], level[i + 1], column,
                                      plan.winnersLabel(round, static_cast<int>(i / 2))));
        level = std::move(next);
    }
    return level.front();
}

// The losers bracket, drawn for a full field; the tree leaves out whatever the
// byes empty. Its first round pairs the first-round losers from `firstRow`
// down, `spacing` rows apart. Then the rounds alternate: each survivor meets
// a drop-in that stands below it, halfway to the next survivor, and
// neighbouring survivors meet. Each round is one column further right.
// Returns the losers-bracket final's match, whose place is the champion's.
int addLosers(Tree &tree, const PagePlan &plan, int firstRow, int spacing, int firstColumn)
{
    std::vector<int> level;
    const int places = plan.bracketSize() / 2;
    for (int place = 0; place < places; ++place) {
        const std::string label = plan.dropLabel(1, place);
        level.push_back(tree.entrant(firstRow + place * spacing, firstColumn, !label.empty(),
                                     label, CellText::Label));
    }
    int column = firstColumn;
    const auto pairUp = [&] {
        std::vector<int> next;
        for (size_t i = 0; i + 1 < level.size(); i += 2)
            next.push_back(tree.match(level[i], level[i + 1], column, {}));
        level = std::move(next);
        ++column;
    };
    pairUp();
    int survivorSpacing = 2 * spacing;
    for (int round = 2; round <= plan.winnersRounds(); ++round) {
        std::vector<int> next;
        for (size_t place = 0; place < level.size(); ++place) {
            const int survivor = level[place];
            const int dropIn = tree.entrant(tree[survivor].row + survivorSpacing / 2, column, true,
                                            plan.dropLabel(round, static_cast<int>(place)),
                                            CellText::Label);
            next.push_back(tree.match(survivor, dropIn, column, {}));
        }
        level = std::move(next);
        ++column;
        if (round < plan.winnersRounds()) {
            pairUp();
            survivorSpacing *= 2;
        }
    }
    return level.front();
}

// The final joins the two champions' lines in `joinColumn`; the second final
// joins the final's result with a slot `secondFinalDrop` rows lower that
// carries the final's label again. Both result lines carry "Winner".
void addFinals(Tree &tree, const PagePlan &plan, int winnersChampion, int losersChampion,
               int joinColumn, int secondFinalDrop, PageGrid &grid)
{
    const std::string label = plan.finalLabel();
    const int final = tree.match(winnersChampion, losersChampion, joinColumn, label);
    const int rematchSlot = tree.entrant(tree[final].row + secondFinalDrop, tree[final].column,
                                         true, label, CellText::Label);
    const int secondFinal = tree.match(final, rematchSlot, tree[final].column, {});
    tree.drawAll(secondFinal, grid);
    grid.setText(tree[final].row + 1, tree[final].column, "Winner", CellText::Caption);
    grid.setText(tree[rematchSlot].row + 1, tree[rematchSlot].column, "(if necessary)",
                 CellText::Caption);
    grid.setText(tree[secondFinal].row + 1, tree[secondFinal].column, "Winner",
                 CellText::Caption);
}

void addHeading(PageGrid &grid, int row, int column, const char *first, CellText kind)
{
    grid.setText(row, column, first, kind);
    grid.setText(row + 1, column, "Bracket", kind);
}

// Row geometry of the single-elimination families, also used by the winners
// bracket of the double-elimination families.
struct Family {
    int rows;
    int columns;
    int firstRow;
    int step;
    double rowHeight;  // points
    std::vector<double> widths;  // points, summing to no more than the sheet's width
};

constexpr double smallMargins[4] = {.2, .7, .65, .7};
constexpr double largeMargins[4] = {.25, 1.0, .25, 1.0};

void setMargins(BracketPage &page, const double (&margins)[4])
{
    for (int i = 0; i < 4; ++i)
        page.margins[i] = margins[i];
}

}  // namespace

BracketPage PageLayout::forItem(int item)
{
    const int single = item - SingleEliminationItemBase;
    const int doubled = item - DoubleEliminationItemBase;
    if (item >= FirstPageItem && single <= MinEntrants)
        return singleElimination(MinEntrants);
    if (single > MinEntrants && single <= MaxEntrants)
        return singleElimination(single);
    if (doubled >= MinEntrants && doubled <= MaxEntrants)
        return doubleElimination(doubled);
    throw std::invalid_argument("no bracket page for item " + std::to_string(item));
}

BracketPage PageLayout::singleElimination(int entrants)
{
    const PagePlan plan(entrants, false);
    // The first-round column is wide enough for long names; later rounds
    // shrink, and a narrow column on the left keeps the names off the edge.
    Family family;
    switch (plan.bracketSize()) {
    case 4:
        family = {28, 4, 3, 8, 21.6, {14, 190, 190, 110}};
        break;
    case 8:
        family = {29, 6, 0, 4, 22.3, {14, 130, 120, 110, 110, 20}};
        break;
    case 16:
        family = {31, 9, 0, 2, 21.6, {14, 118, 100, 76, 70, 70, 20, 18, 18}};
        break;
    default:
        if (entrants < 32)
            family = {63, 9, 0, 2, 11.5, {10, 100, 88, 62, 58, 58, 58, 12, 12}};
        else
            family = {63, 8, 0, 2, 11.5, {10, 100, 88, 62, 58, 58, 58, 24}};
        break;
    }

    BracketPage page;
    page.entrants = entrants;
    const bool large = plan.bracketSize() == 32;
    setMargins(page, large ? largeMargins : smallMargins);
    page.tableFontPoints = large ? 9.0 : 10.0;

    PageGrid grid(family.rows, family.columns);
    grid.setRowHeight(family.rowHeight);
    grid.setColumnWidths(family.widths);
    Tree tree;
    const int champion = addWinners(tree, plan, family.firstRow, family.step, 1);
    tree.drawAll(champion, grid);
    grid.setText(tree[champion].row + 1, tree[champion].column, "Winner", CellText::Caption);
    page.tables.push_back({std::move(grid)});
    return page;
}

BracketPage PageLayout::doubleElimination(int entrants)
{
    const PagePlan plan(entrants, true);
    BracketPage page;
    page.entrants = entrants;
    page.isDouble = true;
    Tree tree;

    if (plan.bracketSize() == 32) {
        setMargins(page, largeMargins);
        page.tableFontPoints = 9.0;

        // Sheet one: the winners bracket, its champion's line left bare.
        PageGrid winners(63, 8);
        winners.setRowHeight(11);
        winners.setColumnWidths({8, 98, 86, 60, 56, 54, 54, 48});
        tree.drawAll(addWinners(tree, plan, 0, 2, 1), winners);
        addHeading(winners, 0, 7, "Winners", CellText::HeadingRight);

        // Sheet two: the losers bracket, then the finals. The winners
        // champion's line is drawn again here, above the losers champion's.
        PageGrid losers(50, 13);
        losers.setRowHeight(14);
        losers.setColumnWidths({6, 38, 38, 38, 38, 38, 38, 38, 38, 40, 56, 48, 8});
        addHeading(losers, 0, 1, "Losers", CellText::Heading);
        const int losersChampion = addLosers(tree, plan, 3, 2, 1);
        const int winnersChampion =
            tree.entrant(tree[losersChampion].row - 24, tree[losersChampion].column, true, {},
                         CellText::None);
        addFinals(tree, plan, winnersChampion, losersChampion, tree[losersChampion].column, 8,
                  losers);

        page.tables.push_back({std::move(winners)});
        page.tables.push_back({std::move(losers), true, true, 4});
        return page;
    }

    setMargins(page, smallMargins);
    // The losers bracket stands under the winners bracket in the same table.
    // It starts in the column that makes both champions' lines end in the
    // same column, or the winners champion's line runs on to meet it.
    struct Double {
        Family family;
        int losersFirstRow;
        int losersSpacing;
        int losersFirstColumn;
        int secondFinalDrop;
        int headingColumn;
    } layout;
    switch (plan.bracketSize()) {
    case 4:
        layout = {{60, 7, 3, 8, 12, {14, 150, 130, 74, 66, 50, 20}}, 35, 8, 1, 8, 5};
        break;
    case 8:
        layout = {{60, 8, 1, 4, 12, {44, 120, 96, 60, 56, 66, 50, 12}}, 33, 4, 0, 6, 6};
        break;
    default:
        layout = {{58, 9, 0, 2, 12, {36, 100, 80, 50, 48, 48, 40, 60, 44}}, 33, 2, 0, 6, 8};
        break;
    }
    const Family &family = layout.family;
    PageGrid grid(family.rows, family.columns);
    grid.setRowHeight(family.rowHeight);
    grid.setColumnWidths(family.widths);
    addHeading(grid, 0, layout.headingColumn, "Winners", CellText::HeadingRight);
    const int winnersChampion = addWinners(tree, plan, family.firstRow, family.step, 1);
    const int losersChampion =
        addLosers(tree, plan, layout.losersFirstRow, layout.losersSpacing, layout.losersFirstColumn);
    addFinals(tree, plan, winnersChampion, losersChampion, tree[losersChampion].column,
              layout.secondFinalDrop, grid);
    // At the losers bracket's lower end, under its first column.
    int lowest = 0;
    for (int row = 0; row < grid.rows(); ++row)
        for (int column = 0; column <= tree[losersChampion].column; ++column)
            if (grid.at(row, column).lineBelow)
                lowest = row;
    addHeading(grid, lowest + 3, layout.losersFirstColumn, "Losers", CellText::Heading);
    page.tables.push_back({std::move(grid)});
    return page;
}

}  // namespace zandrel
