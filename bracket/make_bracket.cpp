#include "bracket/make_bracket.h"

#include "bracket/bracket_filler.h"
#include "bracket/bracket_opener.h"
#include "bracket/bracket_view.h"
#include "bracket/tournament_size.h"
#include "platform/output_folder.h"
#include "platform/tournament.h"
#include "platform/runtime.h"
#include "templates/bracket_template.h"

namespace zandrel {

namespace {

constexpr std::string_view SingleElimination = "Single Elimination";

// Each list must have a choice before anything is read or written; the first
// one missing is named and gets the focus.
bool choicesComplete(Runtime &runtime, BracketView &view)
{
    struct Check {
        std::string (BracketView::*text)() const;
        const char *message;
        const char *title;
        ChoiceList list;
    };
    static constexpr Check checks[] = {
        {&BracketView::sizeText, "Must select Tournament Size first", "Size not selected",
         ChoiceList::TournamentSize},
        {&BracketView::typeText, "Must select Tournament Type first", "Type not selected",
         ChoiceList::TournamentType},
        {&BracketView::seedingText, "Must select Seeding Type first", "Seed type selected",
         ChoiceList::TournamentSeeding},
    };
    for (const Check &check : checks) {
        if ((view.*check.text)().empty()) {
            runtime.showMessage(check.message, check.title, MessageIcon::Exclamation);
            view.focusList(check.list);
            return false;
        }
    }
    return true;
}

}  // namespace

int templateNumberFor(std::string_view sizeText, std::string_view typeText)
{
    // Any kind other than exactly "Single Elimination" is double elimination.
    return parseTournamentSize(sizeText)
           + (typeText == SingleElimination ? SingleEliminationItemBase : DoubleEliminationItemBase);
}

void makeBracket(Runtime &runtime, BracketView &view, const std::function<std::optional<double>()> &osFamily)
{
    if (!choicesComplete(runtime, view))
        return;
    const int templateNumber = templateNumberFor(view.sizeText(), view.typeText());
    // Decided, and the user's folder made, before anything is written.
    const std::string folder = outputFolder(runtime);

    const std::string templateFile = extractBracketTemplate(runtime, templateNumber);
    if (templateFile.empty())
        return;  // The user has been told why; there is nothing to fill.
    const std::string page = fillBracketText(
        readTemplateText(runtime, templateFile), view.titleText(), view.sizeText(), view.seedingText(),
        [&view](int box) { return view.playerName(box); }, [&runtime] { return runtime.nextRandom(); });

    // The old bracket.html is not deleted first: the new page replaces it in
    // one step (a stale bracket.tmp included), so a failed write leaves the
    // last good page in place.
    const std::string outputFile = bracketFilePath(folder);
    writeBracketFile(runtime, outputFile, page);

    runtime.showMessage("Bracket created in file " + outputFile + ".  Will now attempt to open...",
                        "Bracket Created", MessageIcon::Information);
    // The window may have been closed while the box showed, as the end of
    // the session closes it: the program is ending, and opens nothing more.
    if (!view.isOpen())
        return;

    BracketOpening how;
    how.stillOpen = [&view] { return view.isOpen(); };
    how.osFamily = osFamily;
    openBracket(runtime, folder, how);
}

}  // namespace zandrel
