#include "platform/messages.h"

#include <exception>

namespace zandrel {

void runTelling(Messages &messages, const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        messages.showMessage(failure.notice());
    } catch (const std::exception &error) {
        messages.showMessage(Failure(FailureNumber::PathFileAccess, error.what()).notice());
    }
}

}  // namespace zandrel
