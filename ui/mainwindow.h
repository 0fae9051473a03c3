#pragma once

#include <QMainWindow>

#include <memory>

class FileWorkflows;
class HttpServerSettingWidget;
class HttpServerUrlFileDialog;
class ListContactDetialWidget;
class ListContactWidget;
class MainWindowForm;
class NoContactWidget;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QEvent;
class QMouseEvent;
class QWidget;
class SettingDialog;
class TreeGroupSelectWidget;
class TreeGroupWidget;

// The editor's one top-level window: frameless, fixed 1280 x 720, drawing its own title bar.
// It lays out and relays only: it owns the panes and the auxiliary windows (group picker, toast,
// the grey veil shown while a message dialog is open), connects their signals, and keeps the
// two pieces of state the panes share, the phonebook kind and the selected group. Phonebook
// rules live in the panes and the data layer, never here.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Once, before the window is shown: logs the start, applies the compiled-in style sheets,
    // builds the panes, then applies the stored HTTP server switch.
    void init();

    // Loads a phonebook file as an import would (the command line's file argument).
    void openFile(const QString &path);

    // Format of a drag of the list's contacts; a drop of it on a group moves them there. Its
    // payload is empty for the ticked contacts of batch mode, currentContactDrag() for the
    // current contact.
    static QString contactDragFormat();
    static QByteArray currentContactDrag();

protected:
    // Every close (title-bar button, window manager, task bar) goes through the save-changes
    // prompt; Cancel keeps the window open.
    void closeEvent(QCloseEvent *event) override;
    // Ticked contacts dragged from the list onto a group of the tree move there.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A press on the free part of the title bar drags the window until the release.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // One .xml or .csv file dropped from a file manager is imported (asking to save first).
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void slotShowMessagebox(bool bShow);
    void slotSelectedGroupChanged(int nGroupId);
    void slotContactSetting();
    void slotContactBatch();
    void slotContactAllSelect(bool bAllSelect);
    void slotContactSettingChanged();
    void slotContactCountChanged(int nSize);
    void slotContactCurRowChanged(int nRow);
    void slotNoContactBtnCreateClicked();
    void slotPopupSelectedGroup(int nGroupId);
    void slotLanguageChanged(const QString &strLanguage);
    void slotShowUrlFileDialog(bool bShow);

    void on_btnNewFile_clicked();
    void on_btnImportFile_clicked();
    void on_btnSaveFile_clicked();
    void on_btnHistory_clicked();
    void on_btnClose_clicked();
    void on_btnAddGroup_clicked();
    void on_btnAddContact_clicked();
    void on_editSearchContact_textChanged(const QString &arg1);
    void on_btnContactMore_clicked();
    void on_btnContactAllSelect_clicked();
    void on_btnContactDelete_clicked();
    void on_btnContactMoveto_clicked();
    void on_btnContactBathCancle_clicked();
    void on_btnSetting_clicked();
    void on_btnMinimize_clicked();
    void on_btnSwitchHttpserver_clicked();
    void on_btnShowHttpserver_clicked();

private:
    void buildPanes();
    // Keys for what the title bar and the bars offer by mouse.
    void addShortcuts();
    // The group under a point of the tree's viewport that can take the dragged contacts; -1 if
    // none.
    int dropGroupAt(const QPoint &pos) const;
    // Empties the phonebook of the kind and shows it: default groups, first group selected.
    void startPhonebook(int kind);
    // The store of the kind holds a loaded file: the panes show it.
    void showLoadedPhonebook(int kind);
    void updateGroupTitle();
    // A group that cannot hold contacts shows neither the list nor the empty-group panel; an
    // empty one shows the panel instead of the list.
    void updateEmptyGroupPanel();
    // Group counts and group title after the number of contacts may have changed.
    void refreshCounts();
    void setBatchMode(bool on);
    void retranslate();
    // Switches the HTTP server and shows the outcome on the switch; true when it listens (or,
    // when closing, always). A host address that changed since the last switch-on first
    // re-points the saved remote menus at it.
    bool applyHttpSwitch(bool open);
    void showHttpSwitch(bool on);

    std::unique_ptr<MainWindowForm> ui;
    int dirType = 1;
    int currentGroupId = -1;
    TreeGroupWidget *groupTree = nullptr; // owned via Qt parent, as are the others
    ListContactWidget *contactList = nullptr;
    ListContactDetialWidget *contactDetail = nullptr;
    SettingDialog *settingDialog = nullptr;
    NoContactWidget *noContactWidget = nullptr;
    TreeGroupSelectWidget *groupSelectPopup = nullptr;
    HttpServerSettingWidget *httpServerPanel = nullptr;
    HttpServerUrlFileDialog *httpFileDialog = nullptr;
    FileWorkflows *fileWorkflows = nullptr;
    QWidget *overlay = nullptr;
    bool addingContact = false;
    int dragStartX = 0;
    int dragStartY = 0;
    bool dragging = false;
    QPoint contactPressPos; // list viewport coordinates of the last left press; may start a drag
};
