#include "app/form1.h"

#include "app/form2.h"
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

constexpr double ClientWidth = 8280;   // twips
constexpr double ClientHeight = 6870;  // twips

const char *const TypeEntries[] = {"Single Elimination", "Double Elimination"};
const char *const SeedingEntries[] = {"Unseeded (random matches)", "Seeded (according to order below)"};

// The sizes the size list offers, as it shows them.
QStringList sizeEntries()
{
    QStringList entries;
    for (int size = MinEntrants; size <= MaxEntrants; ++size)
        entries << QString::number(size);
    return entries;
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

Form1::Form1(Runtime &runtime, QWidget *parent)
    : QMainWindow(parent)
    , m_runtime(runtime)
    , m_help(runtime, m_helpWindows)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/zandrel/zandrel.png")));
    createControls();
    createMenus();
    setTabOrderOfControls();
    chooseFont();
    resize(layout::twipsToPixels(ClientWidth),
           layout::twipsToPixels(ClientHeight) + menuBar()->sizeHint().height());
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setMouseTracking(true);
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    m_fraTopLine = new QFrame(m_client);
    m_fraTopLine->setObjectName(QStringLiteral("fraTopLine"));
    m_fraTopLine->setFrameShape(QFrame::HLine);
    m_fraTopLine->setFrameShadow(QFrame::Sunken);
    placeInTwips(m_fraTopLine, -120, 0, 1215, 30);

    m_frame2 = new QGroupBox(QStringLiteral("Tournament Options"), m_client);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    placeInTwips(m_frame2, 713, 120, 6855, 2055);

    m_tournamentTitle = new QLineEdit(m_frame2);
    m_tournamentTitle->setObjectName(QStringLiteral("TournamentTitle"));
    placeInTwips(m_tournamentTitle, 2280, 240, 2655, 285);
    m_tournamentSize = makeList(m_frame2, "TournamentSize");
    placeInTwips(m_tournamentSize, 2280, 630, 735, 315);
    m_tournamentType = makeList(m_frame2, "TournamentType");
    placeInTwips(m_tournamentType, 2280, 1110, 2655, 315);
    m_tournamentSeeding = makeList(m_frame2, "TournamentSeeding");
    placeInTwips(m_tournamentSeeding, 2280, 1590, 2655, 315);

    m_label1 = makeLabel(m_frame2, "Label1", QStringLiteral("Tournament Title:"));
    placeInTwips(m_label1, 840, 270, 1335, 255);
    m_label2 = makeLabel(m_frame2, "Label2", QStringLiteral("Tournament Size:"));
    placeInTwips(m_label2, 840, 675, 1335, 255);
    m_label3 = makeLabel(m_frame2, "Label3", QStringLiteral("Tournament Type:"));
    placeInTwips(m_label3, 840, 1140, 1335, 255);
    m_label4 = makeLabel(m_frame2, "Label4", QStringLiteral("Seeding:"));
    placeInTwips(m_label4, 1485, 1590, 735, 255);

    m_command1 = new QPushButton(QStringLiteral("Make Bracket"), m_client);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setDefault(true);
    placeInTwips(m_command1, 3533, 2255, 1215, 375);
    connect(m_command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    m_command1->installEventFilter(this);

    m_frame1 = new QGroupBox(QStringLiteral("Player/Team Names"), m_client);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setMouseTracking(true);
    m_frame1->installEventFilter(this);
    placeInTwips(m_frame1, 713, 2640, 6855, 3255);
    m_frame1->hide();

    for (int box = 1; box <= MaxEntrants; ++box) {
        auto *edit = new QLineEdit(m_frame1);
        edit->setObjectName(QStringLiteral("PlayerName%1").arg(box));
        placeInTwips(edit, layout::designNameBoxLeft(box), layout::nameBoxTop(box), layout::NameBoxWidth,
                     layout::NameBoxHeight);
        edit->installEventFilter(this);
        m_playerName[static_cast<std::size_t>(box - 1)] = edit;
    }

    m_privacyPolicyLabel = makeLabel(m_client, "PrivacyPolicyLabel", QStringLiteral("Privacy Policy"));
    m_privacyPolicyLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_privacyPolicyLabel->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); text-decoration: underline;"));
    m_privacyPolicyLabel->setMouseTracking(true);
    m_privacyPolicyLabel->installEventFilter(this);
    placeInTwips(m_privacyPolicyLabel, 3600, 6000, 1095, 255);
    m_privacyPolicyLabel->hide();

    m_label5 = makeLabel(m_client, "Label5", QStringLiteral("About"));
    m_label5->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    m_label5->setMouseTracking(true);
    m_label5->installEventFilter(this);
    placeInTwips(m_label5, 7680, 0, 615, 255);
    m_label5->hide();

    connect(m_tournamentSize, &QComboBox::currentIndexChanged, this,
            [this](int index) {
                if (index >= 0)
                    runGuarded([this] { TournamentSize_Click(); });
            });

    // Frames and labels never take the focus; Tab walks the inputs only.
    for (QWidget *widget : std::initializer_list<QWidget *>{m_fraTopLine, m_frame2, m_frame1, m_label1, m_label2,
                                                           m_label3, m_label4, m_privacyPolicyLabel, m_label5})
        widget->setFocusPolicy(Qt::NoFocus);
}

void Form1::createMenus()
{
    m_mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m_mnuMakeBracket = m_mnuFile->addAction(QStringLiteral("&Make Bracket"), this, [this] { mnuMakeBracket_Click(); });
    m_mnuMakeBracket->setObjectName(QStringLiteral("mnuMakeBracket"));
    m_mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSpace1"));
    m_mnuExit = m_mnuFile->addAction(QStringLiteral("E&xit"), this, [this] { mnuExit_Click(); });
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));

    m_mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    m_mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    m_mnuHelpTopics = m_mnuHelp->addAction(QStringLiteral("Help Topics"), this, [this] { mnuHelpTopics_Click(); });
    m_mnuHelpTopics->setObjectName(QStringLiteral("mnuHelpTopics"));
    m_mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuSpace2"));
    m_mnuAbout = m_mnuHelp->addAction(QStringLiteral("About Zandrel"), this, [this] { mnuAbout_Click(); });
    m_mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}

void Form1::setTabOrderOfControls()
{
    QList<QWidget *> order{m_tournamentTitle, m_tournamentSize, m_tournamentType, m_tournamentSeeding};
    for (QLineEdit *edit : m_playerName)
        order << edit;
    order << m_command1;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form1::chooseFont()
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
        {m_label1->text(), twipsWidth(m_label1)},
        {m_label2->text(), twipsWidth(m_label2)},
        {m_label3->text(), twipsWidth(m_label3)},
        {m_label4->text(), twipsWidth(m_label4)},
        {m_privacyPolicyLabel->text(), twipsWidth(m_privacyPolicyLabel)},
        {m_command1->text(), twipsWidth(m_command1) - 180},  // the button's bevel
        {m_frame2->title(), 6855 / 2.0},
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
    for (const QString &entry : sizeEntries())
        captions.append({entry, entryRoom(m_tournamentSize)});
    for (const char *entry : TypeEntries)
        captions.append({QString::fromLatin1(entry), entryRoom(m_tournamentType)});
    for (const char *entry : SeedingEntries)
        captions.append({QString::fromLatin1(entry), entryRoom(m_tournamentSeeding)});
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

bool Form1::Form_Load()
{
    m_firstCopy = m_runtime.claimInstance();
    if (!m_firstCopy) {
        // Hand over: nothing of ours may carry the title the running copy is
        // found by, and this window is never shown.
        setWindowTitle(QStringLiteral("unloading..."));
        m_runtime.setApplicationTitle("unloading...");
        m_runtime.activateRunningCopy(ProgramTitle);
        Form_Unload();
        return false;
    }
    InstallSizeLimits();
    centreOnScreen();
    fillLists();
    for (int box = 1; box <= MaxEntrants; ++box)
        playerNameBox(box)->setText(QStringLiteral("Player %1").arg(box));
    loadPlayerNames(m_runtime, *this);
    m_runtime.seedRandomFromClock();
    return true;
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    RemoveSizeLimits();
    m_runtime.releaseInstance();
    // A copy that only handed over never opened help; a viewer titled as
    // ours would belong to the running copy.
    if (m_firstCopy)
        m_help.shutdown();
}

void Form1::centreOnScreen()
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

void Form1::fillLists()
{
    // A pick-only list selects its first entry as it is filled; start-up wants
    // no selection and no size-change handling until something is picked.
    const QSignalBlocker blockSize(m_tournamentSize);
    m_tournamentSize->addItems(sizeEntries());
    for (const char *entry : TypeEntries)
        m_tournamentType->addItem(QString::fromLatin1(entry));
    for (const char *entry : SeedingEntries)
        m_tournamentSeeding->addItem(QString::fromLatin1(entry));
    m_tournamentSize->setCurrentIndex(-1);
    m_tournamentType->setCurrentIndex(-1);
    m_tournamentSeeding->setCurrentIndex(-1);
}

// --- Size limits and layout

void Form1::InstallSizeLimits()
{
    m_sizeLimitsInstalled = true;
    applySizeLimits();
}

void Form1::RemoveSizeLimits()
{
    m_sizeLimitsInstalled = false;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void Form1::applySizeLimits()
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

void Form1::Form_Resize()
{
    const QRect outer = frameGeometry();
    const layout::FormLayout l =
        layout::formLayout(layout::pixelsToTwips(outer.width()), layout::pixelsToTwips(outer.height()));
    moveInTwips(m_command1, l.command1Left, l.command1Top);
    moveInTwips(m_frame1, l.frame1Left, l.frame1Top);
    moveInTwips(m_frame2, l.frame2Left, l.frame2Top);
    moveInTwips(m_label5, l.label5Left, l.label5Top);
    moveInTwips(m_privacyPolicyLabel, l.privacyLeft, l.privacyTop);
    resizeWidthInTwips(m_fraTopLine, l.topLineWidth);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applySizeLimits();
    Form_Resize();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    applySizeLimits();
    if (!m_centred) {
        m_centred = true;
        // Once framed, centre again with the real outer size.
        QTimer::singleShot(0, this, [this] {
            applySizeLimits();
            centreOnScreen();
            Form_Resize();
        });
    }
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

// --- The name grid

void Form1::TournamentSize_Click()
{
    const int n = m_tournamentSize->currentText().toInt();
    for (QLineEdit *edit : m_playerName)
        edit->hide();
    QLineEdit *first = playerNameBox(1);
    const float left = layout::firstNameBoxLeft(n, static_cast<float>(twipsLeft(first)));
    moveInTwips(first, left, twipsTop(first));
    PlayerNameMove();
    for (int box = 1; box <= n && box <= MaxEntrants; ++box)
        playerNameBox(box)->show();
    m_frame1->show();
    m_privacyPolicyLabel->show();
}

void Form1::PlayerNameMove()
{
    const auto first = static_cast<float>(twipsLeft(playerNameBox(1)));
    for (int box = 2; box <= MaxEntrants; ++box) {
        QLineEdit *edit = playerNameBox(box);
        moveInTwips(edit, layout::nameBoxLeft(box, first), twipsTop(edit));
    }
}

void Form1::PlayerName_GotFocus(int index)
{
    // Typing replaces the whole name, as the default texts invite.
    QLineEdit *edit = playerNameBox(index);
    edit->setSelection(0, static_cast<int>(edit->text().size()));
}

// --- Commands

void Form1::runGuarded(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        m_runtime.reportUnexpectedFailure(failure.number(), failure.description());
    } catch (const std::exception &error) {
        m_runtime.reportUnexpectedFailure(FailureNumber::PathFileAccess, error.what());
    }
}

void Form1::Command1_Click()
{
#ifdef Q_OS_WIN
    // Which interpreter opens documents depends on the Windows family.
    const auto osFamily = [] { return readOsFamily(WindowsRegistry()); };
#else
    const std::function<std::optional<double>()> osFamily;
#endif
    runGuarded([this, &osFamily] { makeBracket(m_runtime, *this, osFamily); });
}

void Form1::mnuMakeBracket_Click()
{
    Command1_Click();
}

void Form1::mnuHelpTopics_Click()
{
    runGuarded([this] { m_help.showHelp(); });
}

void Form1::mnuAbout_Click()
{
    runGuarded([this] { m_runtime.showMessage(aboutText(), AboutTitle, MessageIcon::Information); });
}

void Form1::mnuExit_Click()
{
    close();
}

void Form1::PrivacyPolicyLabel_Click()
{
    auto *privacy = new Form2(this);
    privacy->Form_Load();
    m_client->unsetCursor();
    privacy->show();
}

void Form1::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    // A default button only works inside dialogs; here Enter that no control
    // wanted presses "Make Bracket", from the title, the lists or a name box.
    // The repeats of a held key are no presses: one press, one bracket.
    if (isEnterKey(event) && m_command1->isEnabled()) {
        event->accept();
        if (!isHeldEnter(event))
            m_command1->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Form1::keyReleaseEvent(QKeyEvent *event)
{
    if (isEnterKey(event))
        m_lastEnterRelease = event->timestamp();
    QMainWindow::keyReleaseEvent(event);
}

bool Form1::isHeldEnter(const QKeyEvent *press) const
{
    // Qt flags a repeat only when it sees the next press in time; X11 sends
    // each repeat as a release and a press at the same instant, which tells
    // it for sure. A deliberate second press comes later than the release.
    return press->isAutoRepeat() || (press->timestamp() != 0 && press->timestamp() == m_lastEnterRelease);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // The button clicks itself on every Enter it gets, a held key's repeats too.
        if (watched == m_command1 && isEnterKey(static_cast<QKeyEvent *>(event))
            && isHeldEnter(static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::MouseMove:
        // A label ignores the move, which then reaches its parent's surface;
        // the links keep theirs so the surface does not undo the cursor.
        if (watched == m_client || watched == m_frame1) {
            m_client->unsetCursor();
        } else if (watched == m_privacyPolicyLabel) {
            m_client->setCursor(Qt::WhatsThisCursor);
            return true;
        } else if (watched == m_label5) {
            m_label5->setCursor(Qt::WhatsThisCursor);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == m_privacyPolicyLabel) {
            runGuarded([this] { PrivacyPolicyLabel_Click(); });
            return true;
        }
        if (watched == m_label5) {
            mnuAbout_Click();
            return true;
        }
        break;
    case QEvent::FocusIn:
        for (int box = 1; box <= MaxEntrants; ++box) {
            if (watched == playerNameBox(box)) {
                // After the focus change settles, or the click's own cursor
                // placement would undo the selection.
                QTimer::singleShot(0, this, [this, box] { PlayerName_GotFocus(box); });
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

std::string Form1::sizeText() const
{
    return m_tournamentSize->currentText().toStdString();
}

std::string Form1::typeText() const
{
    return m_tournamentType->currentText().toStdString();
}

std::string Form1::seedingText() const
{
    return m_tournamentSeeding->currentText().toStdString();
}

std::string Form1::titleText() const
{
    return m_tournamentTitle->text().toStdString();
}

std::string Form1::playerName(int box) const
{
    return playerNameBox(box)->text().toStdString();
}

void Form1::focusList(ChoiceList list)
{
    switch (list) {
    case ChoiceList::TournamentSize:
        m_tournamentSize->setFocus(Qt::OtherFocusReason);
        break;
    case ChoiceList::TournamentType:
        m_tournamentType->setFocus(Qt::OtherFocusReason);
        break;
    case ChoiceList::TournamentSeeding:
        m_tournamentSeeding->setFocus(Qt::OtherFocusReason);
        break;
    }
}

bool Form1::isOpen() const
{
    return !m_unloaded;
}

// --- PlayerListView

void Form1::setPlayerName(int box, std::string name)
{
    QLineEdit *edit = playerNameBox(box);
    edit->setText(QString::fromStdString(name));
    // A name wider than its box shows its beginning, not its end.
    edit->setCursorPosition(0);
}

void Form1::selectSizeIndex(int index)
{
    // The size list's own change handling lays out the grid, as a user's pick does.
    m_tournamentSize->setCurrentIndex(index);
}

}  // namespace zandrel
