#include "bracket/make_bracket.h"

#include "bracket/bracket_view.h"
#include "platform/failure.h"
#include "platform/runtime.h"

namespace zandrel {

namespace {

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

void MakeBracket(Runtime &runtime, BracketView &view)
{
    if (!choicesComplete(runtime, view))
        return;
    throw Failure(FailureNumber::MissingItem, "The bracket pages are not part of this build yet.");
}

}  // namespace zandrel
