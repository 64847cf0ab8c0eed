#pragma once
// The main window: the tournament's options, the name grid and the "Make
// Bracket" button. Its controls are the program's only record of the
// tournament being prepared; the commands read them through BracketView.

#include "app/size_limits.h"
#include "bracket/bracket_view.h"
#include "help/help_controller.h"
#include "platform/player_list_view.h"
#include "platform/services.h"
#include "qt/help_qt_windows.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace zandrel {

class LinkLabel;
class NameGrid;

class MainWindow : public QMainWindow, public BracketView, public PlayerListView {
    Q_OBJECT

public:
    explicit MainWindow(const Services &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up. Returns false when another copy already runs: it has been
    // asked to come to the front, and this window must not be shown.
    bool startUp();
    // Shutdown; runs once, however the window is closed.
    void shutDown();

    // Brings the window to the front, restoring it if it was minimised.
    void bringToFront();

    // BracketView
    std::optional<int> chosenSize() const override;
    std::optional<TournamentKind> chosenKind() const override;
    std::optional<Seeding> chosenSeeding() const override;
    std::string titleText() const override;
    std::string playerName(int box) const override;
    void focusList(ChoiceList list) override;
    bool isOpen() const override;

    // PlayerListView
    void setPlayerName(int box, std::string name) override;
    void selectSize(int size) override;

    // Name box `box`, 1 to 32, for tests.
    QLineEdit *nameBox(int box) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createOptions();
    void createNameGrid();
    void createLinks();
    void createMenus();
    void setTabOrderOfControls();
    void chooseFont();
    void centreOnScreen();
    void fillLists();

    void layOutControls();

    void onSizeChosen();
    void onMakeBracketClicked();
    void onHelpTopicsTriggered();
    void onAboutTriggered();
    void onPrivacyLinkClicked();

    // Every window event runs inside this: a failure ends the action and is
    // told in its box, and the window goes on with what the user typed.
    void runGuarded(const std::function<void()> &action);

    Services m_services;
    QtHelpWindows m_helpWindows;
    HelpController m_help;
    SizeLimits m_sizeLimits;
    bool m_firstCopy = false;
    bool m_hasShutDown = false;
    bool m_centred = false;

    QWidget *m_client = nullptr;
    QFrame *m_topLine = nullptr;
    QGroupBox *m_optionsFrame = nullptr;
    QLineEdit *m_titleEdit = nullptr;
    QComboBox *m_sizeList = nullptr;
    QComboBox *m_typeList = nullptr;
    QComboBox *m_seedingList = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_sizeLabel = nullptr;
    QLabel *m_typeLabel = nullptr;
    QLabel *m_seedingLabel = nullptr;
    QPushButton *m_makeBracketButton = nullptr;
    NameGrid *m_names = nullptr;
    LinkLabel *m_privacyLink = nullptr;
    LinkLabel *m_aboutLink = nullptr;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_makeBracketAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_helpTopicsAction = nullptr;
    QAction *m_aboutAction = nullptr;
};

}  // namespace zandrel
