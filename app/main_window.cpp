#include "app/main_window.h"

#include "app/privacy_window.h"
#include "app/layout.h"
#include "app/twips.h"
#include "app/window_texts.h"
#include "bracket/make_bracket.h"
#include "platform/failure.h"
#include "platform/player_list.h"
#ifdef Q_OS_WIN
#include "platform/os_family.h"
#include "qt/windows_registry.h"
#endif
#include "platform/runtime.h"
#include "platform/tournament.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>

#include <exception>

namespace zandrel {

namespace {

// A list's entries: each shows its text and carries its value.
template <typename Value>
void fillList(QComboBox *list, const std::vector<Choice<Value>> &choices)
{
    for (const Choice<Value> &choice : choices)
        list->addItem(QString::fromStdString(choice.text), static_cast<int>(choice.value));
}

// The value of a list's chosen entry; nothing while none is chosen.
template <typename Value>
std::optional<Value> chosenValue(const QComboBox *list)
{
    if (list->currentIndex() < 0)
        return std::nullopt;
    return static_cast<Value>(list->currentData().toInt());
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

bool isEnterKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

QComboBox *makeList(QWidget *parent, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(false);
    return list;
}

}  // namespace

MainWindow::MainWindow(Runtime &runtime, QWidget *parent)
    : QMainWindow(parent)
    , m_runtime(runtime)
    , m_help(runtime, m_helpWindows)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/zandrel/zandrel.png")));
    createControls();
    createMenus();
    setTabOrderOfControls();
    chooseFont();
    resize(layout::twipsToPixels(layout::design::ClientWidth),
           layout::twipsToPixels(layout::design::ClientHeight) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    namespace design = layout::design;
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setMouseTracking(true);
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    m_topLine = new QFrame(m_client);
    m_topLine->setObjectName(QStringLiteral("topLine"));
    m_topLine->setFrameShape(QFrame::HLine);
    m_topLine->setFrameShadow(QFrame::Sunken);
    placeInTwips(m_topLine, design::TopLine);

    m_optionsFrame = new QGroupBox(QStringLiteral("Tournament Options"), m_client);
    m_optionsFrame->setObjectName(QStringLiteral("optionsFrame"));
    placeInTwips(m_optionsFrame, design::OptionsFrame);

    m_titleEdit = new QLineEdit(m_optionsFrame);
    m_titleEdit->setObjectName(QStringLiteral("titleEdit"));
    placeInTwips(m_titleEdit, design::TitleEdit);
    m_sizeList = makeList(m_optionsFrame, "sizeList");
    placeInTwips(m_sizeList, design::SizeList);
    m_typeList = makeList(m_optionsFrame, "typeList");
    placeInTwips(m_typeList, design::TypeList);
    m_seedingList = makeList(m_optionsFrame, "seedingList");
    placeInTwips(m_seedingList, design::SeedingList);

    m_titleLabel = makeLabel(m_optionsFrame, "titleLabel", QStringLiteral("Tournament Title:"));
    placeInTwips(m_titleLabel, design::TitleLabel);
    m_sizeLabel = makeLabel(m_optionsFrame, "sizeLabel", QStringLiteral("Tournament Size:"));
    placeInTwips(m_sizeLabel, design::SizeLabel);
    m_typeLabel = makeLabel(m_optionsFrame, "typeLabel", QStringLiteral("Tournament Type:"));
    placeInTwips(m_typeLabel, design::TypeLabel);
    m_seedingLabel = makeLabel(m_optionsFrame, "seedingLabel", QStringLiteral("Seeding:"));
    placeInTwips(m_seedingLabel, design::SeedingLabel);

    m_makeBracketButton = new QPushButton(QStringLiteral("Make Bracket"), m_client);
    m_makeBracketButton->setObjectName(QStringLiteral("makeBracketButton"));
    m_makeBracketButton->setDefault(true);
    placeInTwips(m_makeBracketButton, design::MakeBracketButton);
    connect(m_makeBracketButton, &QPushButton::clicked, this, [this] { onMakeBracketClicked(); });
    m_makeBracketButton->installEventFilter(this);

    m_namesFrame = new QGroupBox(QStringLiteral("Player/Team Names"), m_client);
    m_namesFrame->setObjectName(QStringLiteral("namesFrame"));
    m_namesFrame->setMouseTracking(true);
    m_namesFrame->installEventFilter(this);
    placeInTwips(m_namesFrame, design::NamesFrame);
    m_namesFrame->hide();

    for (int box = 1; box <= MaxEntrants; ++box) {
        auto *edit = new QLineEdit(m_namesFrame);
        edit->setObjectName(QStringLiteral("nameBox%1").arg(box));
        placeInTwips(edit, layout::designNameBoxLeft(box), layout::nameBoxTop(box), layout::NameBoxWidth,
                     layout::NameBoxHeight);
        edit->installEventFilter(this);
        m_nameBoxes[static_cast<std::size_t>(box - 1)] = edit;
    }

    m_privacyLink = makeLabel(m_client, "privacyLink", QStringLiteral("Privacy Policy"));
    m_privacyLink->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_privacyLink->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); text-decoration: underline;"));
    m_privacyLink->setMouseTracking(true);
    m_privacyLink->installEventFilter(this);
    placeInTwips(m_privacyLink, design::PrivacyLink);
    m_privacyLink->hide();

    m_aboutLink = makeLabel(m_client, "aboutLink", QStringLiteral("About"));
    m_aboutLink->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    m_aboutLink->setMouseTracking(true);
    m_aboutLink->installEventFilter(this);
    placeInTwips(m_aboutLink, design::AboutLink);
    m_aboutLink->hide();

    connect(m_sizeList, &QComboBox::currentIndexChanged, this,
            [this](int index) {
                if (index >= 0)
                    runGuarded([this] { onSizeChosen(); });
            });

    // Frames and labels never take the focus; Tab walks the inputs only.
    for (QWidget *widget : std::initializer_list<QWidget *>{m_topLine, m_optionsFrame, m_namesFrame, m_titleLabel,
                                                           m_sizeLabel, m_typeLabel, m_seedingLabel, m_privacyLink,
                                                           m_aboutLink})
        widget->setFocusPolicy(Qt::NoFocus);
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
    for (QLineEdit *edit : m_nameBoxes)
        order << edit;
    order << m_makeBracketButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::chooseFont()
{
    // The window was drawn for MS Sans Serif 8.25 pt. Where that face is
    // missing, take the first available look-alike and step its size down
    // until every caption fits the place the window gives it.
    const QStringList families{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                               QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                               QStringLiteral("DejaVu Sans")};
    QFont font = QApplication::font();
    for (const QString &family : families) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    struct Caption {
        QString text;
        double widthTwips;  // room the caption has
    };
    QList<Caption> captions{
        {m_titleLabel->text(), twipsWidth(m_titleLabel)},
        {m_sizeLabel->text(), twipsWidth(m_sizeLabel)},
        {m_typeLabel->text(), twipsWidth(m_typeLabel)},
        {m_seedingLabel->text(), twipsWidth(m_seedingLabel)},
        {m_privacyLink->text(), twipsWidth(m_privacyLink)},
        {m_makeBracketButton->text(), twipsWidth(m_makeBracketButton) - 180},  // the button's bevel
        {m_optionsFrame->title(), layout::design::OptionsFrame.width / 2},
        {QStringLiteral("Player 32"), layout::NameBoxWidth - 120},
    };
    // A list shows its entry in the field its style leaves beside the arrow,
    // less a pixel on each side; every entry must fit there, as any may be
    // chosen. The lists are filled only at start-up, so their texts come
    // from where start-up takes them.
    const auto entryRoom = [](QComboBox *list) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        const QRect field =
            list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        return layout::pixelsToTwips(field.width() - 2);
    };
    for (const Choice<int> &choice : sizeChoices())
        captions.append({QString::fromStdString(choice.text), entryRoom(m_sizeList)});
    for (const Choice<TournamentKind> &choice : kindChoices())
        captions.append({QString::fromStdString(choice.text), entryRoom(m_typeList)});
    for (const Choice<Seeding> &choice : seedingChoices())
        captions.append({QString::fromStdString(choice.text), entryRoom(m_seedingList)});
    for (double points = 8.25; points >= 6.0; points -= 0.25) {
        font.setPointSizeF(points);
        const QFontMetricsF metrics(font);
        bool fits = true;
        for (const Caption &caption : captions)
            fits = fits && layout::pixelsToTwips(static_cast<int>(std::ceil(metrics.horizontalAdvance(caption.text)))) <=
                               caption.widthTwips;
        if (fits)
            break;
    }
    setFont(font);
    // Frames as the window was drawn: the caption sits on the top border, so
    // the first row of controls clears it. A style sheet stops fonts from
    // propagating to the widgets below it, so it names the font itself.
    m_client->setStyleSheet(
        QStringLiteral("QWidget { font-family: \"%1\"; font-size: %2pt; }"
                       "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
                       "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                       " left: 8px; padding: 0 2px; }")
            .arg(font.family())
            .arg(font.pointSizeF()));
}

bool MainWindow::startUp()
{
    m_firstCopy = m_runtime.claimInstance();
    if (!m_firstCopy) {
        // Hand over: nothing of ours may carry the title the running copy is
        // found by, and this window is never shown.
        setWindowTitle(QStringLiteral("unloading..."));
        m_runtime.setApplicationTitle("unloading...");
        m_runtime.activateRunningCopy(ProgramTitle);
        shutDown();
        return false;
    }
    installSizeLimits();
    centreOnScreen();
    fillLists();
    for (int box = 1; box <= MaxEntrants; ++box)
        nameBox(box)->setText(QStringLiteral("Player %1").arg(box));
    loadPlayerNames(m_runtime, *this);
    m_runtime.seedRandomFromClock();
    return true;
}

void MainWindow::shutDown()
{
    if (m_hasShutDown)
        return;
    m_hasShutDown = true;
    removeSizeLimits();
    m_runtime.releaseInstance();
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

// --- Size limits and layout

void MainWindow::installSizeLimits()
{
    m_sizeLimitsInstalled = true;
    applySizeLimits();
}

void MainWindow::removeSizeLimits()
{
    m_sizeLimitsInstalled = false;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void MainWindow::applySizeLimits()
{
    if (!m_sizeLimitsInstalled)
        return;
    // The limits are for the outer size; Qt's are for the window without its
    // frame, whose size is only known once the window system has framed it.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize minimum(layout::MinOuterWidth - frame.width(), layout::MinOuterHeight - frame.height());
    const QSize maximum(layout::MaxOuterWidth - frame.width(), layout::MaxOuterHeight - frame.height());
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    if (maximumSize() != maximum)
        setMaximumSize(maximum);
}

void MainWindow::layOutControls()
{
    const QRect outer = frameGeometry();
    const layout::WindowLayout l =
        layout::windowLayout(layout::pixelsToTwips(outer.width()), layout::pixelsToTwips(outer.height()));
    moveInTwips(m_makeBracketButton, l.makeBracketLeft, l.makeBracketTop);
    moveInTwips(m_namesFrame, l.namesFrameLeft, l.namesFrameTop);
    moveInTwips(m_optionsFrame, l.optionsFrameLeft, l.optionsFrameTop);
    moveInTwips(m_aboutLink, l.aboutLinkLeft, l.aboutLinkTop);
    moveInTwips(m_privacyLink, l.privacyLinkLeft, l.privacyLinkTop);
    resizeWidthInTwips(m_topLine, l.topLineWidth);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applySizeLimits();
    layOutControls();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    applySizeLimits();
    if (!m_centred) {
        m_centred = true;
        // Once framed, centre again with the real outer size.
        QTimer::singleShot(0, this, [this] {
            applySizeLimits();
            centreOnScreen();
            layOutControls();
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
    const int n = chosenSize().value_or(0);
    for (QLineEdit *edit : m_nameBoxes)
        edit->hide();
    QLineEdit *first = nameBox(1);
    const float left = layout::firstNameBoxLeft(n, static_cast<float>(twipsLeft(first)));
    moveInTwips(first, left, twipsTop(first));
    moveNameColumns();
    for (int box = 1; box <= n && box <= MaxEntrants; ++box)
        nameBox(box)->show();
    m_namesFrame->show();
    m_privacyLink->show();
}

void MainWindow::moveNameColumns()
{
    const auto first = static_cast<float>(twipsLeft(nameBox(1)));
    for (int box = 2; box <= MaxEntrants; ++box) {
        QLineEdit *edit = nameBox(box);
        moveInTwips(edit, layout::nameBoxLeft(box, first), twipsTop(edit));
    }
}

void MainWindow::selectWholeName(int index)
{
    // Typing replaces the whole name, as the default texts invite.
    QLineEdit *edit = nameBox(index);
    edit->setSelection(0, static_cast<int>(edit->text().size()));
}

// --- Commands

void MainWindow::runGuarded(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        m_runtime.reportUnexpectedFailure(failure.number(), failure.description());
    } catch (const std::exception &error) {
        m_runtime.reportUnexpectedFailure(FailureNumber::PathFileAccess, error.what());
    }
}

void MainWindow::onMakeBracketClicked()
{
#ifdef Q_OS_WIN
    // Which interpreter opens documents depends on the Windows family.
    const auto osFamily = [] { return readOsFamily(WindowsRegistry()); };
#else
    const std::function<std::optional<double>()> osFamily;
#endif
    runGuarded([this, &osFamily] { makeBracket(m_runtime, *this, osFamily); });
}

void MainWindow::onHelpTopicsTriggered()
{
    runGuarded([this] { m_help.showHelp(); });
}

void MainWindow::onAboutTriggered()
{
    runGuarded([this] { m_runtime.showMessage(aboutText(), AboutTitle, MessageIcon::Information); });
}

void MainWindow::onPrivacyLinkClicked()
{
    auto *privacy = new PrivacyWindow(this);
    privacy->centreOverOwner();
    m_client->unsetCursor();
    privacy->show();
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
    shutDown();
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // A default button only works inside dialogs; here Enter that no control
    // wanted presses "Make Bracket", from the title, the lists or a name box.
    // The repeats of a held key are no presses: one press, one bracket.
    if (isEnterKey(event) && m_makeBracketButton->isEnabled()) {
        event->accept();
        if (!isHeldEnter(event))
            m_makeBracketButton->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (isEnterKey(event))
        m_lastEnterRelease = event->timestamp();
    QMainWindow::keyReleaseEvent(event);
}

bool MainWindow::isHeldEnter(const QKeyEvent *press) const
{
    // Qt flags a repeat only when it sees the next press in time; X11 sends
    // each repeat as a release and a press at the same instant, which tells
    // it for sure. A deliberate second press comes later than the release.
    return press->isAutoRepeat() || (press->timestamp() != 0 && press->timestamp() == m_lastEnterRelease);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // The button clicks itself on every Enter it gets, a held key's repeats too.
        if (watched == m_makeBracketButton && isEnterKey(static_cast<QKeyEvent *>(event))
            && isHeldEnter(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::MouseMove:
        // A label ignores the move, which then reaches its parent's surface;
        // the links keep theirs so the surface does not undo the cursor.
        if (watched == m_client || watched == m_namesFrame) {
            m_client->unsetCursor();
        } else if (watched == m_privacyLink) {
            m_client->setCursor(Qt::WhatsThisCursor);
            return true;
        } else if (watched == m_aboutLink) {
            m_aboutLink->setCursor(Qt::WhatsThisCursor);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_privacyLink) {
            runGuarded([this] { onPrivacyLinkClicked(); });
            return true;
        }
        if (watched == m_aboutLink) {
            onAboutTriggered();
            return true;
        }
        break;
    case QEvent::FocusIn:
        for (int box = 1; box <= MaxEntrants; ++box) {
            if (watched == nameBox(box)) {
                // After the focus change settles, or the click's own cursor
                // placement would undo the selection.
                QTimer::singleShot(0, this, [this, box] { selectWholeName(box); });
                break;
            }
        }
        break;
    default:
        break;
    }
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
    return nameBox(box)->text().toStdString();
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
    QLineEdit *edit = nameBox(box);
    edit->setText(QString::fromStdString(name));
    // A name wider than its box shows its beginning, not its end.
    edit->setCursorPosition(0);
}

void MainWindow::selectSize(int size)
{
    // The size list's own change handling lays out the grid, as a user's pick does.
    m_sizeList->setCurrentIndex(m_sizeList->findData(size));
}

}  // namespace zandrel
