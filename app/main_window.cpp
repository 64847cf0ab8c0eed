#include "app/main_window.h"

#include "app/choice_list.h"
#include "app/caption_frame.h"
#include "app/enter_key_filter.h"
#include "app/layout.h"
#include "app/link_label.h"
#include "app/name_grid.h"
#include "app/privacy_window.h"
#include "app/size_limits.h"
#include "app/twips.h"
#include "app/window_font.h"
#include "app/window_texts.h"
#include "bracket/make_bracket.h"
#include "platform/failure.h"
#include "platform/player_list.h"
#include "product.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>

#include <exception>

namespace zandrel {

namespace design = layout::design;

namespace {

// What a caption has not of its control's width: the push button's bevel on
// both sides, and a name box's frame and margins.
constexpr double ButtonBevelTwips = 180;
constexpr double NameBoxFrameTwips = 120;

// Captions the window shows, which its font must fit.
constexpr const char *OptionsCaption = "Tournament Options";
constexpr const char *MakeBracketCaption = "Make Bracket";
constexpr const char *PrivacyCaption = "Privacy Policy";
constexpr const char *WidestDefaultName = "Player 32";
const struct OptionLabel {
    const char *name;
    const char *text;
    layout::Place place;
} OptionLabels[] = {
    {"titleLabel", "Tournament Title:", design::TitleLabel},
    {"sizeLabel", "Tournament Size:", design::SizeLabel},
    {"typeLabel", "Tournament Type:", design::TypeLabel},
    {"seedingLabel", "Seeding:", design::SeedingLabel},
};

// The font every caption and list entry fits in, each in the room the
// window was drawn with. Known before any control is made, so that the
// controls are made in it.
QFont windowFont()
{
    QList<Caption> captions{
        {QString::fromLatin1(PrivacyCaption), design::PrivacyLink.width},
        {QString::fromLatin1(MakeBracketCaption), design::MakeBracketButton.width - ButtonBevelTwips},
        {QString::fromLatin1(OptionsCaption), design::OptionsFrame.width / 2},
        {QString::fromLatin1(WidestDefaultName), layout::NameBoxWidth - NameBoxFrameTwips},
    };
    for (const OptionLabel &label : OptionLabels)
        captions.append({QString::fromLatin1(label.text), label.place.width});
    // The lists are filled only at start-up, so their texts come from where
    // start-up takes them.
    addListEntries(captions, design::SizeList, sizeChoices());
    addListEntries(captions, design::TypeList, kindChoices());
    addListEntries(captions, design::SeedingList, seedingChoices());
    return fittedFont(captions);
}

// The caption of `control`, which a screen reader then names by it.
void makeLabel(QWidget *parent, const OptionLabel &caption, QWidget *control)
{
    const QString text = QString::fromLatin1(caption.text);
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(caption.name));
    label->setFocusPolicy(Qt::NoFocus);
    label->setBuddy(control);
    control->setAccessibleName(text.chopped(text.endsWith(QLatin1Char(':')) ? 1 : 0));
    placeInTwips(label, caption.place);
}

QComboBox *makeList(QWidget *parent, const char *name, const layout::Place &place)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(false);
    placeInTwips(list, place);
    return list;
}

}  // namespace

MainWindow::MainWindow(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_help(services.files, services.items, services.events, m_helpWindows)
    , m_sizeLimits(*this)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromLatin1(product::Name));
    setFont(windowFont());

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setMouseTracking(true);
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    createOptions();
    createNameGrid();
    createLinks();
    createMenus();
    resize(layout::twipsToPixels(design::ClientWidth),
           layout::twipsToPixels(design::ClientHeight) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::createOptions()
{
    m_topLine = new QFrame(m_client);
    m_topLine->setObjectName(QStringLiteral("topLine"));
    m_topLine->setFrameShape(QFrame::HLine);
    m_topLine->setFrameShadow(QFrame::Sunken);
    m_topLine->setFocusPolicy(Qt::NoFocus);
    placeInTwips(m_topLine, design::TopLine);

    m_optionsFrame = new CaptionFrame(QString::fromLatin1(OptionsCaption), m_client);
    m_optionsFrame->setObjectName(QStringLiteral("optionsFrame"));
    m_optionsFrame->setFocusPolicy(Qt::NoFocus);
    placeInTwips(m_optionsFrame, design::OptionsFrame);

    m_titleEdit = new QLineEdit(m_optionsFrame);
    m_titleEdit->setObjectName(QStringLiteral("titleEdit"));
    placeInTwips(m_titleEdit, design::TitleEdit);
    m_sizeList = makeList(m_optionsFrame, "sizeList", design::SizeList);
    m_typeList = makeList(m_optionsFrame, "typeList", design::TypeList);
    m_seedingList = makeList(m_optionsFrame, "seedingList", design::SeedingList);

    QWidget *const labelled[] = {m_titleEdit, m_sizeList, m_typeList, m_seedingList};
    for (std::size_t i = 0; i < std::size(OptionLabels); ++i)
        makeLabel(m_optionsFrame, OptionLabels[i], labelled[i]);

    m_makeBracketButton = new QPushButton(QString::fromLatin1(MakeBracketCaption), m_client);
    m_makeBracketButton->setObjectName(QStringLiteral("makeBracketButton"));
    m_makeBracketButton->setDefault(true);
    placeInTwips(m_makeBracketButton, design::MakeBracketButton);
    connect(m_makeBracketButton, &QPushButton::clicked, this, &MainWindow::onMakeBracketClicked);
    new EnterKeyFilter(this, m_makeBracketButton);

    connect(m_sizeList, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            runGuarded([this] { onSizeChosen(); });
    });
}

void MainWindow::createNameGrid()
{
    m_names = new NameGrid(m_client);
    connect(m_names, &NameGrid::boxesMade, this, &MainWindow::setTabOrderOfControls);
    m_names->setMouseTracking(true);
    m_names->installEventFilter(this);
    placeInTwips(m_names, design::NamesFrame);
    m_names->hide();
}

void MainWindow::createLinks()
{
    // The privacy link's cursor is the surface's, which drops it again as
    // soon as the pointer moves over the surface (see eventFilter).
    m_privacyLink = new LinkLabel(QString::fromLatin1(PrivacyCaption), m_client, m_client);
    m_privacyLink->setObjectName(QStringLiteral("privacyLink"));
    m_privacyLink->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_privacyLink->setUnderlined(true);
    placeInTwips(m_privacyLink, design::PrivacyLink);
    m_privacyLink->hide();
    connect(m_privacyLink, &LinkLabel::clicked, this, &MainWindow::onPrivacyLinkClicked);

    m_aboutLink = new LinkLabel(QStringLiteral("About"), m_client);
    m_aboutLink->setObjectName(QStringLiteral("aboutLink"));
    placeInTwips(m_aboutLink, design::AboutLink);
    m_aboutLink->hide();
    connect(m_aboutLink, &LinkLabel::clicked, this, &MainWindow::onAboutTriggered);
}

void MainWindow::createMenus()
{
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("fileMenu"));
    m_makeBracketAction =
        m_fileMenu->addAction(QStringLiteral("&Make Bracket"), this, &MainWindow::onMakeBracketClicked);
    m_makeBracketAction->setObjectName(QStringLiteral("makeBracketAction"));
    m_fileMenu->addSeparator();
    m_exitAction = m_fileMenu->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    m_exitAction->setObjectName(QStringLiteral("exitAction"));

    m_helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("helpMenu"));
    m_helpTopicsAction =
        m_helpMenu->addAction(QStringLiteral("Help Topics"), this, &MainWindow::onHelpTopicsTriggered);
    m_helpTopicsAction->setObjectName(QStringLiteral("helpTopicsAction"));
    m_helpMenu->addSeparator();
    m_aboutAction = m_helpMenu->addAction(QStringLiteral("About Zandrel"), this, &MainWindow::onAboutTriggered);
    m_aboutAction->setObjectName(QStringLiteral("aboutAction"));
}

void MainWindow::setTabOrderOfControls()
{
    QList<QWidget *> order{m_titleEdit, m_sizeList, m_typeList, m_seedingList};
    for (int box = 1; box <= MaxEntrants; ++box)
        order << nameBox(box);
    order << m_makeBracketButton << m_privacyLink << m_aboutLink;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool MainWindow::startUp()
{
    m_firstCopy = m_services.oneCopy.claim();
    if (!m_firstCopy) {
        // Hand over: nothing of ours may carry the title the running copy is
        // found by, and this window is never shown.
        setWindowTitle(QStringLiteral("unloading..."));
        QGuiApplication::setApplicationDisplayName(QStringLiteral("unloading..."));
        m_services.oneCopy.activateRunningCopy(product::Name);
        shutDown();
        return false;
    }
    m_sizeLimits.install();
    centreOnScreen();
    fillLists();
    for (int box = 1; box <= MaxEntrants; ++box)
        m_names->setName(box, QString::fromStdString(defaultPlayerName(box)));
    // A list that cannot be read is told, and start-up goes on without it.
    runGuarded([this] { loadPlayerNames(m_services.places, m_services.files, *this); });
    m_services.random.seedFromClock();
    return true;
}

void MainWindow::shutDown()
{
    if (m_hasShutDown)
        return;
    m_hasShutDown = true;
    m_sizeLimits.remove();
    m_services.oneCopy.release();
    // A copy that only handed over never opened help; a viewer titled as
    // ours would belong to the running copy.
    if (m_firstCopy)
        m_help.shutdown();
}

void MainWindow::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect outer = frameGeometry();
    const layout::Point place =
        layout::centreWithin(area.x(), area.y(), area.width(), area.height(), outer.width(), outer.height());
    move(static_cast<int>(place.x), static_cast<int>(place.y));
}

void MainWindow::fillLists()
{
    // A pick-only list selects its first entry as it is filled; start-up wants
    // no selection and no size-change handling until something is picked.
    const QSignalBlocker blockSize(m_sizeList);
    fillList(m_sizeList, sizeChoices());
    fillList(m_typeList, kindChoices());
    fillList(m_seedingList, seedingChoices());
    m_sizeList->setCurrentIndex(-1);
    m_typeList->setCurrentIndex(-1);
    m_seedingList->setCurrentIndex(-1);
}

// --- Layout

void MainWindow::layOutControls()
{
    const QRect outer = frameGeometry();
    const layout::WindowLayout l =
        layout::windowLayout(layout::pixelsToTwips(outer.width()), layout::pixelsToTwips(outer.height()));
    moveInTwips(m_makeBracketButton, l.makeBracketLeft, l.makeBracketTop);
    moveInTwips(m_names, l.namesFrameLeft, l.namesFrameTop);
    moveInTwips(m_optionsFrame, l.optionsFrameLeft, l.optionsFrameTop);
    moveInTwips(m_aboutLink, l.aboutLinkLeft, l.aboutLinkTop);
    moveInTwips(m_privacyLink, l.privacyLinkLeft, l.privacyLinkTop);
    resizeWidthInTwips(m_topLine, l.topLineWidth);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_sizeLimits.apply();
    layOutControls();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_sizeLimits.apply();
    if (!m_centred) {
        m_centred = true;
        // Once framed, centre again with the real outer size. The icon and
        // the hidden name boxes are made only now: the window shows the
        // sooner for it, and neither is seen inside the window until later.
        QTimer::singleShot(0, this, [this] {
            m_sizeLimits.apply();
            centreOnScreen();
            layOutControls();
            setWindowIcon(QIcon(QStringLiteral(":/zandrel/zandrel.png")));
            m_names->makeBoxes();
        });
    }
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layOutControls();
}

// --- The name grid

void MainWindow::onSizeChosen()
{
    m_names->showSize(chosenSize().value_or(0));
    m_privacyLink->show();
}

QLineEdit *MainWindow::nameBox(int box) const
{
    return m_names->nameBox(box);
}

// --- Commands

void MainWindow::runGuarded(const std::function<void()> &action)
{
    runTelling(m_services.messages, action);
}

void MainWindow::onMakeBracketClicked()
{
    runGuarded([this] { makeBracket(m_services, *this); });
}

void MainWindow::onHelpTopicsTriggered()
{
    runGuarded([this] { m_help.showHelp(); });
}

void MainWindow::onAboutTriggered()
{
    runGuarded([this] { m_services.messages.showMessage({aboutText(), AboutTitle, MessageIcon::Information}); });
}

void MainWindow::onPrivacyLinkClicked()
{
    runGuarded([this] {
        auto *privacy = new PrivacyWindow(this);
        privacy->centreOverOwner();
        m_client->unsetCursor();
        privacy->show();
    });
}

void MainWindow::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Off the screen first: what shutdown still does (closing help, its
    // wait, removing files) is nothing the user should watch.
    hide();
    shutDown();
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The pointer is back on the surface, off the privacy link.
    if (event->type() == QEvent::MouseMove && (watched == m_client || watched == m_names))
        m_client->unsetCursor();
    return QMainWindow::eventFilter(watched, event);
}

// --- BracketView

std::optional<int> MainWindow::chosenSize() const
{
    return chosenValue<int>(m_sizeList);
}

std::optional<TournamentKind> MainWindow::chosenKind() const
{
    return chosenValue<TournamentKind>(m_typeList);
}

std::optional<Seeding> MainWindow::chosenSeeding() const
{
    return chosenValue<Seeding>(m_seedingList);
}

std::string MainWindow::titleText() const
{
    return m_titleEdit->text().toStdString();
}

std::string MainWindow::playerName(int box) const
{
    return m_names->name(box).toStdString();
}

void MainWindow::focusList(ChoiceList list)
{
    switch (list) {
    case ChoiceList::Size:
        m_sizeList->setFocus(Qt::OtherFocusReason);
        break;
    case ChoiceList::Kind:
        m_typeList->setFocus(Qt::OtherFocusReason);
        break;
    case ChoiceList::Seeding:
        m_seedingList->setFocus(Qt::OtherFocusReason);
        break;
    }
}

bool MainWindow::isOpen() const
{
    return !m_hasShutDown;
}

// --- PlayerListView

void MainWindow::setPlayerName(int box, std::string name)
{
    m_names->setName(box, QString::fromStdString(name));
}

void MainWindow::selectSize(int size)
{
    // The size list's own change handling lays out the grid, as a user's pick does.
    m_sizeList->setCurrentIndex(m_sizeList->findData(size));
}

}  // namespace zandrel
