#include "bracket/bracket_opener.h"

#include "bracket/bracket_filler.h"
#include "platform/os_family.h"
#include "platform/output_folder.h"
#include "platform/runtime.h"
#include "product.h"

#include <algorithm>

namespace zandrel {

namespace {

constexpr int LinkDelaySeconds = 10;

std::string quoted(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    result += text;
    result += '"';
    return result;
}

// The runtime reports folders with '/', which the Windows command line does
// not take; the table's forms want backslashes and no trailing one, so a
// drive root "C:/" becomes "C:".
std::string windowsFolder(std::string_view folder)
{
    std::string native(folder);
    std::replace(native.begin(), native.end(), '/', '\\');
    if (!native.empty() && native.back() == '\\')
        native.pop_back();
    return native;
}

StartCommand windowsCommand(std::string commandLine, std::optional<double> osFamily)
{
    StartCommand command;
    // Named for messages only: Windows is handed the command line as written.
    command.program = usesCommandCom(osFamily) ? "command.com" : "cmd";
    command.windowsCommandLine = std::move(commandLine);
    command.minimised = true;
    return command;
}

StartCommand desktopCommand(DesktopHost host, const std::string &target)
{
    StartCommand command;
    command.program = host == DesktopHost::MacOs ? "open" : "xdg-open";
    command.arguments = {target};
    return command;
}

}  // namespace

std::string windowsStartCommandLine(std::optional<double> osFamily, std::string_view title,
                                    std::string_view target)
{
    if (usesCommandCom(osFamily))
        return "command.com /c start " + quoted(target);
    return "cmd /c start " + quoted(title) + " " + quoted(target);
}

std::string windowsPageCommandLine(std::optional<double> osFamily, std::string_view outputFolder)
{
    const std::string folder(outputFolder);
    return windowsStartCommandLine(osFamily, folder + BracketFileName, folder + "\\" + BracketFileName);
}

std::string windowsLinkCommandLine(std::optional<double> osFamily, std::string_view webLink)
{
    return windowsStartCommandLine(osFamily, webLink, webLink);
}

void openBracket(Runtime &runtime, const std::string &outputFolder, const BracketOpening &how)
{
    StartCommand page;
    StartCommand link;
    if (how.host == DesktopHost::Windows) {
        const std::optional<double> family = how.osFamily ? how.osFamily() : std::nullopt;
        page = windowsCommand(windowsPageCommandLine(family, windowsFolder(outputFolder)), family);
        link = windowsCommand(windowsLinkCommandLine(family, product::WebLink), family);
    } else {
        page = desktopCommand(how.host, bracketFilePath(outputFolder));
        link = desktopCommand(how.host, product::WebLink);
    }

    runtime.startCommand(page);
    // The window keeps handling its events meanwhile: the user may go on
    // typing, close it or make another bracket inside the wait.
    runtime.waitSeconds(LinkDelaySeconds);
    if (how.stillOpen && !how.stillOpen())
        return;
    runtime.startCommand(link);
}

}  // namespace zandrel
