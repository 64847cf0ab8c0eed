#pragma once
// The main window: the tournament's options, the name grid and the "Make
// Bracket" button. Its controls are the program's only record of the
// tournament being prepared; the commands read them through BracketView.

#include "bracket/bracket_view.h"
#include "help/help_controller.h"
#include "qt/help_qt_windows.h"
#include "platform/player_list_view.h"

#include <QMainWindow>

#include <array>
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

class Runtime;

class Form1 : public QMainWindow, public BracketView, public PlayerListView {
    Q_OBJECT

public:
    explicit Form1(Runtime &runtime, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up. Returns false when another copy already runs: it has been
    // asked to come to the front, and this window must not be shown.
    bool Form_Load();
    // Shutdown; runs once, however the window is closed.
    void Form_Unload();

    // Brings the window to the front, restoring it if it was minimised.
    void bringToFront();

    // BracketView
    std::string sizeText() const override;
    std::string typeText() const override;
    std::string seedingText() const override;
    std::string titleText() const override;
    std::string playerName(int box) const override;
    void focusList(ChoiceList list) override;
    bool isOpen() const override;

    // PlayerListView
    void setPlayerName(int box, std::string name) override;
    void selectSizeIndex(int index) override;

    // The window's controls, for the commands and for tests.
    QLineEdit *playerNameBox(int box) const { return m_playerName.at(static_cast<std::size_t>(box - 1)); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void setTabOrderOfControls();
    void chooseFont();
    void centreOnScreen();
    void fillLists();

    void InstallSizeLimits();
    void RemoveSizeLimits();
    void applySizeLimits();
    void Form_Resize();

    void TournamentSize_Click();
    void PlayerNameMove();
    void PlayerName_GotFocus(int index);

    void Command1_Click();
    // Whether a press of Enter only repeats a key held down since its last press.
    bool isHeldEnter(const QKeyEvent *press) const;
    void mnuMakeBracket_Click();
    void mnuHelpTopics_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    void PrivacyPolicyLabel_Click();

    // Every window event runs inside this: a failure is reported with its
    // number and description, the action ends, and the window goes on.
    void runGuarded(const std::function<void()> &action);

    Runtime &m_runtime;
    QtHelpWindows m_helpWindows;
    HelpController m_help;
    bool m_firstCopy = false;
    bool m_unloaded = false;
    bool m_sizeLimitsInstalled = false;
    bool m_centred = false;
    quint64 m_lastEnterRelease = 0;  // the system's time stamp of the last release of Enter

    QWidget *m_client = nullptr;
    QFrame *m_fraTopLine = nullptr;
    QGroupBox *m_frame2 = nullptr;
    QLineEdit *m_tournamentTitle = nullptr;
    QComboBox *m_tournamentSize = nullptr;
    QComboBox *m_tournamentType = nullptr;
    QComboBox *m_tournamentSeeding = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QPushButton *m_command1 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    std::array<QLineEdit *, 32> m_playerName{};
    QLabel *m_privacyPolicyLabel = nullptr;
    QLabel *m_label5 = nullptr;

    QMenu *m_mnuFile = nullptr;
    QMenu *m_mnuHelp = nullptr;
    QAction *m_mnuMakeBracket = nullptr;
    QAction *m_mnuExit = nullptr;
    QAction *m_mnuHelpTopics = nullptr;
    QAction *m_mnuAbout = nullptr;
};

}  // namespace zandrel
