#pragma once

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPushButton;
class QWidget;

// The main window's fixed widget tree: every widget by its object name, at its place, with its
// image and look. setupUi builds it into the window once; the window owns every widget through
// Qt parents, this object only points at them.
class MainWindowForm
{
public:
    void setupUi(QMainWindow *window);

    QWidget *centralWidget = nullptr;

    // Title bar and tool bar.
    QWidget *wgtTitle = nullptr;
    QPushButton *btnNewFile = nullptr;
    QPushButton *btnImportFile = nullptr;
    QPushButton *btnSaveFile = nullptr;
    QPushButton *btnHistory = nullptr;
    QPushButton *btnSetting = nullptr;
    QLabel *labelTitlebarLogo = nullptr;
    QLabel *labelTitlebarName = nullptr;
    QPushButton *btnMinimize = nullptr;
    QPushButton *btnClose = nullptr;
    QPushButton *btnSwitchHttpserver = nullptr;
    QWidget *wgtHttpServer = nullptr;
    QWidget *horizontalLayoutWidget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *labelHttpserver = nullptr;
    QPushButton *btnShowHttpserver = nullptr;

    QWidget *widgetContent = nullptr;

    // Group column.
    QWidget *wgtGroup = nullptr;
    QLabel *labelGroupTitle = nullptr;
    QPushButton *btnAddGroup = nullptr;

    // Contact column: the search bar and, in its place during batch mode, the batch bar.
    QWidget *wgtContact = nullptr;
    QWidget *wgtSearchWidget = nullptr;
    QLineEdit *editSearchContact = nullptr;
    QLabel *labSearchIcon = nullptr;
    QPushButton *btnAddContact = nullptr;
    QPushButton *btnContactMore = nullptr;
    QWidget *wgtContactBatch = nullptr;
    QLabel *labContactAllSelectIcon = nullptr;
    QPushButton *btnContactAllSelect = nullptr;
    QPushButton *btnContactMoveto = nullptr;
    QPushButton *btnContactDelete = nullptr;
    QPushButton *btnContactBathCancle = nullptr;

    // Detail column.
    QWidget *wgtContactDetail = nullptr;
    QPushButton *btnEditContact = nullptr;
    QListWidget *listContactDetailWgt = nullptr;
};
