#pragma once

#include "controls/ImageList.h"
#include "controls/MenuTable.h"
#include "mainwindow/CommonMenus.h"
#include "mainwindow/MenuTargets.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

class BibleBrowser;
class FileNameMap;
class GlobalNotifier;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTimer;

// The main window: the Bible browser above a status strip with a clock, and the
// menu bar of the program's commands. Closing it ends the program.
class MainMenu : public QMainWindow
{
    Q_OBJECT

public:
    // Creating the window loads it: it puts up its menus, shows the splash when
    // asked to, and shows itself modeless.
    MainMenu();
    ~MainMenu() override;

    // The default instance, loaded on first use.
    static MainMenu &Instance();
    // Lets start-up create and show the main window; called once at start.
    static void Register();

    // The caption of the Report-a-Bug item while the hidden debug mode is open;
    // deliberately not translated.
    static inline const QString &DebugCaption = CommonMenus::DebugCaption;
    // Letter keys that, held together while the Help menu opens, reveal it.
    static constexpr int DebugKeyFirst = 0x44;  // D
    static constexpr int DebugKeySecond = 0x42; // B

    // Public methods. The check itself lives in ModuleMaintenance, which the
    // search workspace calls as well.
    void DoIntegrityCheckViaCollection(FileNameMap &list, const QString &folder);
    void AddPicturesToMenu();
    void LoadBookmarks();
    void International();
    void m_globalnotifer_Notify(const QString &eventName);

    // Window events, public so that tests can drive them as the system would.
    void Form_Resize();
    void Form_Unload(bool &Cancel);
    void Timer1_Timer();
    void closeEvent(QCloseEvent *event) override;

    // Menu commands, each run as its item runs it: errors are trapped under the
    // item's trace name. The check items have already toggled their mark when
    // their handler runs (QAction::trigger), as a click does.
    void mFileExit_Click();
    void mEditCopy_Click();
    void mEditFind_Click();
    void mEditFindNext_Click();
    void mEditSelectAll_Click();
    void mViewWrapText_Click();
    void mViewFancyFormatting_Click();
    void mViewSmartQuotes_Click();
    void mViewSmartDash_Click();
    void mChooseFont_Click();
    void mWindowBookmarks_Click();
    void mWindowAdvancedSearch_Click();
    void mWindowMultiBible_Click();
    void mWindowCommentary_Click();
    void mWindowDictionary_Click();
    void mWindowNames_Click();
    void mIntegrateNames_Click();
    void mWindowMaps_Click();
    void mWindowTranslationNotes_Click();
    void mViewMp3Bibles_Click();
    void mViewChmBibles_Click();
    void mToolsOptions_Click();
    void mToolsDateFormat_Click();
    void mToolsLanguageEditor_Click();
    void mToolsShowMsgNums_Click();
    void mToolsReIndex_Click();
    void mIntegrityBibles_Click();
    void mIntegrityCommentaries_Click();
    void mIntegrityDictionaries_Click();
    void mIntegrityNames_Click();
    void mIntegrityAll_Click();
    void mToolsSetFolders_Click();
    void mGotoWebsite_Click();
    void mDiscussionForum_Click();
    void mMailingList_Click();
    void mContents_Click();
    void mLicenceAgreement_Click();
    void mSplashScreen_Click();
    void mBugReport_Click();
    void mAbout_Click();
    // The Help menu opens.
    void zHelp_Click();

    // The menus as built from their description.
    MenuTable &Menus() { return *m_menus; }

    // The web pages the menus open.
    static QString ForumAddress();
    static QString MailingListAddress();
    static QString BugReportAddress();
    static QString ChmBiblesAddress();

    BibleBrowser *BibleBrowser1 = nullptr;
    QWidget *pixStatus = nullptr;
    QLabel *lblStatusTextL = nullptr;
    QLineEdit *txtStatusTextR = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    ImageList ImgList1;

    QMenu *zFile = nullptr;
    QAction *mFileExit = nullptr;
    QMenu *zEdit = nullptr;
    QAction *mEditCopy = nullptr;
    QAction *mEditFind = nullptr;
    QAction *mEditFindNext = nullptr;
    QAction *mEditSelectAll = nullptr;
    QAction *mViewWrapText = nullptr;
    QAction *mViewFancyFormatting = nullptr;
    QAction *mViewSmartQuotes = nullptr;
    QAction *mViewSmartDash = nullptr;
    QAction *mChooseFont = nullptr;
    QMenu *zView = nullptr;
    QAction *mWindowBookmarks = nullptr;
    QAction *mWindowAdvancedSearch = nullptr;
    QAction *mWindowMultiBible = nullptr;
    QAction *mWindowCommentary = nullptr;
    QAction *mWindowDictionary = nullptr;
    QAction *mWindowNames = nullptr;
    QAction *mIntegrateNames = nullptr;
    QAction *mWindowMaps = nullptr;
    QAction *mWindowTranslationNotes = nullptr;
    QAction *mViewMp3Bibles = nullptr;
    QAction *mViewChmBibles = nullptr;
    QMenu *zTools = nullptr;
    QAction *mToolsOptions = nullptr;
    QAction *mToolsDateFormat = nullptr;
    QAction *mToolsLanguageEditor = nullptr;
    QAction *mToolsShowMsgNums = nullptr;
    QAction *mToolsReIndex = nullptr;
    QMenu *zIntegrityCheck = nullptr;
    QAction *mIntegrityBibles = nullptr;
    QAction *mIntegrityCommentaries = nullptr;
    QAction *mIntegrityDictionaries = nullptr;
    QAction *mIntegrityNames = nullptr;
    QAction *mIntegrityAll = nullptr;
    QAction *mToolsSetFolders = nullptr;
    QMenu *zWeb = nullptr;
    QAction *mGotoWebsite = nullptr;
    QAction *mDiscussionForum = nullptr;
    QAction *mMailingList = nullptr;
    QMenu *zHelp = nullptr;
    QAction *mContents = nullptr;
    QAction *mLicenceAgreement = nullptr;
    QAction *mSplashScreen = nullptr;
    QAction *mBugReport = nullptr;
    QAction *mAbout = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void CreateControls();
    QList<MenuItem> MenuDescription();
    MenuItem FileMenu();
    MenuItem EditMenu();
    MenuHandler BrowserToggle(void (BibleBrowser::*set)(bool));
    void BindMenuMembers();

    void Form_Load();
    void TakeCheckMarksFromBrowser();

    QPointer<GlobalNotifier> m_globalnotifer;
    QWidget *m_client = nullptr;
    std::unique_ptr<MenuTable> m_menus;
};
