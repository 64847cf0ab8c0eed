// The user's documents folder as the system names it, or why there is none that may be used.

#include "tests/qt/qt_test_support.h"

#include <gmock/gmock.h>

namespace zandrel::testing {
namespace {

#ifndef _WIN32  // HOME and the XDG settings are how Unix desktops name the folder; Windows names it itself
TEST(QtPlacesTest, TheDocumentsFolderIsAnAbsoluteUtf8PathOrNoneWithTheReason)
{
    const struct {
        const char *home, *setting, *folder, *told;  // HOME and XDG_DOCUMENTS_DIR (null: unset); what is named
        bool settingsHere = false;                   // XDG_CONFIG_HOME relative, to the settings in the current folder
    } cases[] = {
        {"/home/u", nullptr, "/home/u/Documents", ""}, {"/home/u", "$HOME/Papers", "/home/u/Papers", ""},
        {nullptr, nullptr, "", "HOME is not set"}, {"home/u", nullptr, "", "HOME is home/u, which is not an absolute"},
        {"/home/\xff", nullptr, "", "HOME names a folder whose name is not valid UTF-8"},
        {"/home/u", "Papers", "", "(XDG_DOCUMENTS_DIR) is Papers, which is not an absolute"},
        {"/home/u", "/srv/\xff", "", "(XDG_DOCUMENTS_DIR) is not valid UTF-8"},
        {"/home/u", "/srv/planted", "", "XDG_CONFIG_HOME is ., which is not an absolute", true},
    };
    const QTemporaryDir config;
    const QByteArray home = qgetenv("HOME"), configHome = qgetenv("XDG_CONFIG_HOME");
    const QString current = QDir::currentPath();
    QDir::setCurrent(config.path());
    for (const auto &c : cases) {
        qputenv("XDG_CONFIG_HOME", c.settingsHere ? QByteArray(".") : QFile::encodeName(config.path()));
        c.home ? qputenv("HOME", c.home) : qunsetenv("HOME");
        QFile settings(config.filePath("user-dirs.dirs"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write(c.setting ? QByteArray("XDG_DOCUMENTS_DIR=\"") + c.setting + "\"\n" : QByteArray());
        settings.close();
        std::string folder;
        const Failure none = caught([&] { folder = QtPlaces().documentsFolder(); });
        EXPECT_EQ(folder, c.folder) << c.home << " " << c.setting;
        EXPECT_TRUE(*c.told ? none.description().find(c.told) != std::string::npos : none.number() == 0)
            << none.description();
    }
    qputenv("HOME", home), qputenv("XDG_CONFIG_HOME", configHome), QDir::setCurrent(current);
}
#endif

}  // namespace
}  // namespace zandrel::testing
