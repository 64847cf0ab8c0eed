#include "app/window_texts.h"

#include "product.h"

namespace zandrel {

std::string aboutText()
{
    const std::string crlf = "\r\n";
    return std::string("Z A N D R E L") + crlf +
           std::string(23, ' ') + "Version 1.2" + crlf +
           crlf +
           "Web site:  " + product::WebSiteHost + crlf +
           crlf +
           "Created by:  " + product::Author + " (" + product::AuthorEmail + ")";
}

std::string privacyText()
{
    return "Privacy Policy\r\n"
           "\r\n"
           "The Zandrel software application does not collect personally identifiable information "
           "and, therefore, the personally identifiable information your supply to Zandrel cannot be "
           "used by Kelvane to monitor your use of the Zandrel software application or for any other "
           "purpose.\r\n";
}

}  // namespace zandrel
