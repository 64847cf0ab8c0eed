// Zandrel's command line: what each is read as, and that the page a script
// makes is the window's page, byte for byte.

#include "app/command_line.h"
#include "app/main_window.h"
#include "platform/seeded_random.h"
#include "platform/tournament.h"
#include "tests/support/fakes.h"

#include <gmock/gmock.h>

#include <QtTest>
#include <QtWidgets>

namespace zandrel::testing {
namespace {

// A command line as the test reads it: the action and what it carries.
std::string summary(const CommandLine &line)
{
    using Action = CommandLine::Action;
    switch (line.action) {
    case Action::OpenWindow: return "window";
    case Action::ShowHelp: return "help";
    case Action::ShowVersion: return "version";
    case Action::Refuse: return "refused: " + line.problem.toStdString();
    case Action::MakePage: break;
    }
    const BracketRequest &r = line.request;
    return "make " + (r.size ? std::to_string(*r.size) : "?") +
           (r.kind == TournamentKind::DoubleElimination ? " double" : " single") +
           (r.seeding == Seeding::Drawn ? " drawn" : " seeded") + " title=" + r.title +
           " names=" + r.namesFile.value_or("") + " output=" + r.outputFile.value_or("") +
           " seed=" + (line.randomSeed ? std::to_string(*line.randomSeed) : "") + (line.openPage ? " open" : "");
}

TEST(CommandLine, ReadsGnuStyleOptionsLeavesQtsWindowOptionsToTheWindowAndRefusesWhatItCannotUse)
{
    const std::string here = QDir::toNativeSeparators(QDir::currentPath()).toStdString();
    const auto in = [&here](const char *name) { return QDir::toNativeSeparators(QDir(QString::fromStdString(here)).filePath(QLatin1String(name))).toStdString(); };
    const struct {
        const char *name;
        QStringList arguments;
        std::string expected;
    } cases[] = {
        {"none", {}, "window"},
        {"qt_window_options", {"-platform", "offscreen", "-session", "1a2b", "-style=fusion", "-reverse"}, "window"},
        {"help_wins", {"--make", "--size", "99", "-h"}, "help"},
        {"version_after_qt_option", {"-platform", "xcb", "--version"}, "version"},
        {"defaults", {"--make", "--size", "3"}, "make 3 single seeded title= names= output= seed="},
        {"everything", {"--make", "--title=Club Cup", "--size=32", "--double", "--unseeded", "--names", "n.txt",
                        "--random-seed", "18446744073709551615", "--output", "out.html", "--open"},
         "make 32 double drawn title=Club Cup names=" + in("n.txt") + " output=" + in("out.html") +
             " seed=18446744073709551615 open"},
        {"names_give_the_size", {"--make", "--names", "-"}, "make ? single seeded title= names=- output= seed="},
        {"title_like_an_option", {"--make", "--size", "4", "--title", "-platform"},
         "make 4 single seeded title=-platform names= output= seed="},
        {"after_double_dash", {"--make", "--size", "4", "--", "-reverse"}, "refused: Unexpected argument '-reverse'."},
        {"size_33", {"--make", "--size", "33"}, "refused: --size must be a whole number from 3 to 32, not '33'."},
        {"seed_too_big", {"--make", "--size", "4", "--random-seed", "18446744073709551616"},
         "refused: --random-seed must be a whole number from 0 to 18446744073709551615, not '18446744073709551616'."},
        {"open_alone", {"--open"}, "refused: --open needs --make."},
        {"single_dash_word", {"-make"}, "refused: Unknown options: m, a, k, e."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(summary(parseCommandLine(c.arguments)), c.expected);
    }
}

// The program built beside these tests.
QString program()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(ZANDREL_PROGRAM_FROM_TESTS));
}

TEST(CommandLinePage, IsTheWindowsPageForTheSameChoicesNamesAndDraw)
{
    constexpr std::uint64_t Seed = 20261209;
    // Six names for eight slots, as players.txt is read: the last two show
    // the boxes' own "Player 7" and "Player 8".
    const QStringList names = {"Ann", "Bjørn", "<Cy & Co>", "", "  Dee  ", "Ēva 🏓"};
    QTemporaryDir dir;
    QFile namesFile(dir.filePath("names.txt"));
    ASSERT_TRUE(namesFile.open(QIODevice::WriteOnly));
    namesFile.write((names.join("\r\n") + "\r\n").toUtf8());
    namesFile.close();

    for (const bool drawn : {false, true}) {
        SCOPED_TRACE(drawn ? "unseeded" : "seeded");
        FakeSystem runtime;
        runtime.carryBuiltInItems();
        SeededRandom random([] { return Seed; });
        MainWindow window(Services{{runtime, runtime, runtime, runtime, random, runtime, runtime}, runtime});
        ASSERT_TRUE(window.startUp());
        window.findChild<QLineEdit *>("titleEdit")->setText("Club Cup <2026>");
        window.findChild<QComboBox *>("sizeList")->setCurrentIndex(8 - MinEntrants);
        window.findChild<QComboBox *>("typeList")->setCurrentIndex(1);
        window.findChild<QComboBox *>("seedingList")->setCurrentIndex(drawn ? 0 : 1);
        for (int i = 0; i < names.size(); ++i)
            window.nameBox(i + 1)->setText(names[i]);
        window.findChild<QPushButton *>("makeBracketButton")->click();
        ASSERT_TRUE(runtime.files.contains("/program/bracket.html")) << ::testing::PrintToString(said(runtime));

        QProcess script;
        const QString page = dir.filePath(drawn ? "drawn.html" : "seeded.html");
        QStringList arguments = {"--make", "--title", "Club Cup <2026>", "--size", "8", "--double", "--names",
                                 namesFile.fileName(), "--output", page};
        if (drawn)
            arguments += {"--unseeded", "--random-seed", QString::number(Seed)};
        script.start(program(), arguments);
        ASSERT_TRUE(script.waitForFinished(60000)) << script.errorString().toStdString();
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        QFile made(page);
        ASSERT_TRUE(made.open(QIODevice::ReadOnly));
        const QByteArray bytes = made.readAll();
        EXPECT_TRUE(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())) ==
                    runtime.text("/program/bracket.html"))
            << "the script's page differs from the window's";
    }
}

}  // namespace
}  // namespace zandrel::testing
