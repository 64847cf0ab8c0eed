#include "bracket/make_bracket.h"

#include "bracket/bracket_filler.h"
#include "bracket/bracket_opener.h"
#include "bracket/bracket_view.h"
#include "bracket/tournament_size.h"
#include "platform/messages.h"
#include "platform/output_folder.h"
#include "platform/random_generator.h"
#include "platform/services.h"
#include "platform/tournament.h"
#include "templates/bracket_template.h"

namespace zandrel {

namespace {

// Each list must have a choice before anything is read or written; the first
// one missing is named and gets the focus.
bool choicesComplete(Messages &messages, BracketView &view)
{
    struct Check {
        bool (*chosen)(const BracketView &);
        const char *message;
        const char *title;
        ChoiceList list;
    };
    static constexpr Check checks[] = {
        {[](const BracketView &v) { return v.chosenSize().has_value(); }, "Must select Tournament Size first",
         "Size not selected", ChoiceList::Size},
        {[](const BracketView &v) { return v.chosenKind().has_value(); }, "Must select Tournament Type first",
         "Type not selected", ChoiceList::Kind},
        // "Seed type selected" is the title users have always seen here.
        {[](const BracketView &v) { return v.chosenSeeding().has_value(); }, "Must select Seeding Type first",
         "Seed type selected", ChoiceList::Seeding},
    };
    for (const Check &check : checks) {
        if (!check.chosen(view)) {
            messages.showMessage({check.message, check.title, MessageIcon::Exclamation});
            view.focusList(check.list);
            return false;
        }
    }
    return true;
}

// The built-in page for a size and kind.
int templateNumberFor(int size, TournamentKind kind)
{
    checkTournamentSize(size);
    return size + (kind == TournamentKind::SingleElimination ? SingleEliminationItemBase : DoubleEliminationItemBase);
}

}  // namespace

std::string makeBracketPage(Files &files, BuiltInItems &items, int size, TournamentKind kind, Seeding seeding,
                            std::string_view title, const PlayerNameSource &playerName,
                            const RandomSource &nextRandom)
{
    const std::string templateFile = extractBracketTemplate(files, items, templateNumberFor(size, kind));
    return fillBracketText(readTemplateText(files, templateFile), title, size, seeding, playerName, nextRandom);
}

void makeBracket(const CommandServices &services, BracketView &view)
{
    if (!choicesComplete(services.messages, view))
        return;
    const int size = *view.chosenSize();
    // Decided, and the user's folder made, before anything is written.
    const std::string folder = outputFolder(services.places, services.files);

    const std::string page = makeBracketPage(
        services.files, services.items, size, *view.chosenKind(), *view.chosenSeeding(), view.titleText(),
        [&view](int box) { return view.playerName(box); }, [&services] { return services.random.next(); });

    // The old bracket.html is not deleted first: the new page replaces it in
    // one step (a stale bracket.tmp included), so a failed write leaves the
    // last good page in place.
    const std::string outputFile = bracketFilePath(folder);
    writeBracketFile(services.files, outputFile, page);

    services.messages.showMessage({"Bracket created in file " + outputFile + ".  Will now attempt to open...",
                                   "Bracket Created", MessageIcon::Information});
    // The window may have been closed while the box showed, as the end of
    // the session closes it: the program is ending, and opens nothing more.
    if (!view.isOpen())
        return;

    openBracket(services.desktop, services.events, folder, [&view] { return view.isOpen(); });
}

}  // namespace zandrel
