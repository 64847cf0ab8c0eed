#pragma once
// A pick-only list of choices: each entry shows its text and carries its
// value, which is what the window hands on.

#include "bracket/tournament_choices.h"

#include <QComboBox>

#include <optional>
#include <vector>

namespace zandrel {

template <typename Value>
void fillList(QComboBox *list, const std::vector<Choice<Value>> &choices)
{
    for (const Choice<Value> &choice : choices)
        list->addItem(QString::fromStdString(choice.text), static_cast<int>(choice.value));
}

// The value of the chosen entry; nothing while none is chosen.
template <typename Value>
std::optional<Value> chosenValue(const QComboBox *list)
{
    if (list->currentIndex() < 0)
        return std::nullopt;
    return static_cast<Value>(list->currentData().toInt());
}

}  // namespace zandrel
