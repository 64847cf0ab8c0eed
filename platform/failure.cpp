#include "platform/failure.h"

#include "product.h"

namespace zandrel {

Notice Failure::notice() const
{
    if (m_notice)
        return *m_notice;
    return {"Error " + std::to_string(m_number) + ": " + description() +
                "\n\nThe action was stopped. Everything you typed is still there.",
            product::Name, MessageIcon::Stop};
}

}  // namespace zandrel
